#include "platform/qt/twips.h"

#include <QWidget>

namespace kesrow::qt {

namespace {
constexpr int kTwipsPerInch = 1440;
}

int TwipsToPixelsX(const QWidget* widget, int twips)
{
    return qRound(double(twips) * widget->logicalDpiX() / kTwipsPerInch);
}

int TwipsToPixelsY(const QWidget* widget, int twips)
{
    return qRound(double(twips) * widget->logicalDpiY() / kTwipsPerInch);
}

QRect TwipsToPixels(const QWidget* widget, int left, int top, int width, int height)
{
    return QRect(TwipsToPixelsX(widget, left), TwipsToPixelsY(widget, top),
                 TwipsToPixelsX(widget, width), TwipsToPixelsY(widget, height));
}

QRect TwipsToPixels(const QWidget* widget, const TwipsRect& rect)
{
    return TwipsToPixels(widget, rect.left, rect.top, rect.width, rect.height);
}

}  // namespace kesrow::qt
