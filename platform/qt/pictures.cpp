#include "platform/qt/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kesrow::qt {

namespace {

// The picture of data/<name>.svg, size pixels square.
QImage Rendered(const QString& name, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/pictures/%1.svg").arg(name));
    QPainter p(&image);
    svg.render(&p, QRectF(0, 0, size, size));
    return image;
}

QIcon RenderedIcon(const QString& name)
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 96, 128}) icon.addPixmap(QPixmap::fromImage(Rendered(name, size)));
    return icon;
}

}  // namespace

QIcon NormalTrayIcon()
{
    return RenderedIcon(QStringLiteral("kesrow"));
}

QIcon ProhibitionTrayIcon()
{
    return RenderedIcon(QStringLiteral("prohibition"));
}

QIcon UnknownTrayIcon()
{
    return RenderedIcon(QStringLiteral("unknown"));
}

QImage AboutPicture()
{
    return Rendered(QStringLiteral("telephone"), 64);
}

}  // namespace kesrow::qt
