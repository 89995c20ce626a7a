// The program's pictures, drawn from the SVG files in data/ compiled in.
#pragma once

#include <QIcon>
#include <QImage>

namespace kesrow::qt {

// Each tray picture rendered at every size a tray, a title bar or a task
// switcher asks for, twice that for a scale of 2, so it stays sharp.
// ImageList1, image 1: the program's own picture, a small dark figure.
QIcon NormalTrayIcon();
// ImageList1, image 2: the prohibition sign, black outlined in white.
QIcon ProhibitionTrayIcon();
// The unknown state: image 1 greyed out, with a question mark.
QIcon UnknownTrayIcon();
// The forms' icon: the figure of the tray.
inline QIcon ProgramIcon() { return NormalTrayIcon(); }
// picIcon of the About box: a 64 x 64 telephone.
QImage AboutPicture();

}  // namespace kesrow::qt
