// Forms are laid out in twips (1440 to the inch); the screen's logical DPI
// turns them into pixels.
#pragma once

#include <QRect>

#include "ui/form_layouts.h"

class QWidget;

namespace kesrow::qt {

int TwipsToPixelsX(const QWidget* widget, int twips);
int TwipsToPixelsY(const QWidget* widget, int twips);
QRect TwipsToPixels(const QWidget* widget, int left, int top, int width, int height);
QRect TwipsToPixels(const QWidget* widget, const TwipsRect& rect);

}  // namespace kesrow::qt
