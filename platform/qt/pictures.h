// The program's pictures, painted at start-up rather than stored as files.
#pragma once

#include <QIcon>
#include <QImage>

namespace kesrow::qt {

// Both tray pictures are drawn in a 32-unit square and painted at the size
// asked, so they stay sharp at any tray height and screen scale.
// ImageList1, image 1: the program's own picture, a small dark figure; the
// menu entry's icon (data/kesrow.svg) is the same figure.
QImage NormalTrayImage(int size = 32);
// ImageList1, image 2: the prohibition sign, black outlined in white.
QImage ProhibitionTrayImage(int size = 32);
// The unknown state: image 1 greyed out, with a question mark.
QImage UnknownTrayImage(int size = 32);
// A picture painted at each size a tray, a title bar or a task switcher asks
// for, twice that for a scale of 2.
QIcon PaintedIcon(QImage (*paint)(int size));
// The forms' icon: the figure of the tray.
QIcon ProgramIcon();
// picIcon of the About box: a 64 x 64 telephone.
QImage AboutPicture();

}  // namespace kesrow::qt
