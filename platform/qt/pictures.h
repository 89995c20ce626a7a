// The program's pictures, painted at start-up rather than stored as files.
#pragma once

#include <QIcon>
#include <QImage>

namespace kesrow::qt {

// ImageList1, image 1: the program's own picture, a small dark figure (32 x 32).
QImage NormalTrayImage();
// ImageList1, image 2: the prohibition sign, black outlined in white (32 x 32).
QImage ProhibitionTrayImage();
// The unknown state: image 1 greyed out, with a question mark (32 x 32).
QImage UnknownTrayImage();
// The forms' 64 x 64 icon: the same figure, larger.
QIcon ProgramIcon();
// picIcon of the About box: a 64 x 64 telephone.
QImage AboutPicture();

}  // namespace kesrow::qt
