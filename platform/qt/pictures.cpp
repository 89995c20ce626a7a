#include "platform/qt/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace kesrow::qt {

namespace {

QImage TransparentImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A dark round-headed figure with white eyes, drawn in a 32-unit square.
void PaintFigure(QPainter& p)
{
    const QColor dark(0x20, 0x20, 0x40);
    p.setPen(QPen(Qt::white, 1.0));
    p.setBrush(dark);
    p.drawEllipse(QRectF(8, 2, 16, 15));             // head
    p.drawRoundedRect(QRectF(10, 16, 12, 10), 3, 3);  // body
    p.drawRect(QRectF(5, 17, 5, 3));                  // arms
    p.drawRect(QRectF(22, 17, 5, 3));
    p.drawRect(QRectF(11, 26, 4, 5));                 // legs
    p.drawRect(QRectF(17, 26, 4, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(11.5, 6, 3.5, 4.5));          // eyes
    p.drawEllipse(QRectF(17, 6, 3.5, 4.5));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(12.8, 7.5, 1.6, 2));
    p.drawEllipse(QRectF(18.3, 7.5, 1.6, 2));
    p.setPen(QPen(QColor(0xe0, 0x40, 0x40), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13, 9, 6, 4), 200 * 16, 140 * 16);  // mouth
}

// The black ring and bar, outlined in white, in a 32-unit square.
void PaintProhibitionSign(QPainter& p)
{
    const QRectF ring(4.5, 4.5, 23, 23);
    const QLineF bar(8.6, 8.6, 23.4, 23.4);  // upper left to lower right
    // White first, wider, so that the black sign stands out on any panel.
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 8.0}, std::pair{QColor(Qt::black), 4.5}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ring);
        p.drawLine(bar);
    }
}

QImage Painted(int size, void (*paint)(QPainter&))
{
    QImage image = TransparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    paint(p);
    return image;
}

}  // namespace

QImage NormalTrayImage(int size)
{
    return Painted(size, PaintFigure);
}

QImage ProhibitionTrayImage(int size)
{
    return Painted(size, PaintProhibitionSign);
}

QImage UnknownTrayImage(int size)
{
    QImage image = NormalTrayImage(size);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Premultiplied: a light grey no brighter than the mask allows.
            const int alpha = qAlpha(line[x]);
            const int grey = std::min((qGray(line[x]) + alpha) / 2, alpha);
            line[x] = qRgba(grey, grey, grey, alpha);
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QFont font = p.font();
    font.setPixelSize(22);
    font.setBold(true);
    QPainterPath mark;
    mark.addText(QPointF(15, 30), font, QStringLiteral("?"));
    // White outline first, so that the mark stands out on any panel.
    p.strokePath(mark, QPen(Qt::white, 3));
    p.fillPath(mark, QColor(0x20, 0x40, 0xc0));
    return image;
}

QIcon PaintedIcon(QImage (*paint)(int size))
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 96, 128}) icon.addPixmap(QPixmap::fromImage(paint(size)));
    return icon;
}

QIcon ProgramIcon()
{
    return PaintedIcon(NormalTrayImage);
}

QImage AboutPicture()
{
    QImage image = TransparentImage(64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    QPainterPath handset;
    handset.moveTo(8, 22);
    handset.cubicTo(8, 8, 56, 8, 56, 22);
    handset.lineTo(46, 26);
    handset.lineTo(42, 18);
    handset.cubicTo(36, 15, 28, 15, 22, 18);
    handset.lineTo(18, 26);
    handset.closeSubpath();
    p.drawPath(handset);
    p.setBrush(QColor(0x50, 0x50, 0x60));
    p.drawRoundedRect(QRectF(14, 28, 36, 28), 6, 6);  // base
    p.setBrush(Qt::white);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawEllipse(QRectF(21 + col * 8, 32 + row * 7, 5, 5));  // keys
    return image;
}

}  // namespace kesrow::qt
