#include "resources/Icons.h"

#include "resources/ResourceIds.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// A strip of film: amber base with a row of sprocket holes along each edge.
void DrawFilmStrip(QPainter& p, const QRectF& strip, int frames) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 48, 24));
    p.drawRect(strip);
    const qreal edge = strip.height() * 0.2;
    const QRectF picture = strip.adjusted(0, edge, 0, -edge);
    const qreal frameWidth = strip.width() / frames;
    for (int i = 0; i < frames; ++i) {
        const QRectF frame(picture.left() + i * frameWidth + frameWidth * 0.08, picture.top(),
                           frameWidth * 0.84, picture.height());
        p.setBrush(QColor(232, 168, 64));
        p.drawRect(frame);
    }
    p.setBrush(QColor(245, 235, 210));
    const qreal hole = edge * 0.5;
    for (qreal x = strip.left() + hole; x + hole <= strip.right(); x += hole * 2.2) {
        p.drawRect(QRectF(x, strip.top() + edge * 0.25, hole, hole));
        p.drawRect(QRectF(x, strip.bottom() - edge * 0.75, hole, hole));
    }
}

// Icon 128: a film scanner with a strip of film in its slot. Drawn on a
// 128-unit canvas and scaled, with fewer details at the small sizes.
QImage DrawWindowIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);

    // Body
    QLinearGradient body(0, 30, 0, 110);
    body.setColorAt(0, QColor(92, 98, 110));
    body.setColorAt(1, QColor(44, 48, 56));
    p.setPen(QPen(QColor(24, 26, 30), 3));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(22, 28, 84, 84), 14, 14);

    // Lens window on the top face
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 110, 200));
    p.drawEllipse(QPointF(64, 52), 13, 13);
    p.setBrush(QColor(160, 210, 255));
    p.drawEllipse(QPointF(60, 48), 4, 4);

    // Power light
    p.setBrush(QColor(255, 128, 0));
    p.drawEllipse(QPointF(90, 98), 4, 4);

    // Film strip running through the slot
    p.setBrush(QColor(16, 16, 18));
    p.drawRect(QRectF(18, 74, 92, 20));
    DrawFilmStrip(p, QRectF(4, 76, 120, 16), size >= 48 ? 4 : 2);
    return image;
}

QImage DrawSlotPlaceholder() {
    QImage image(kSlotPlaceholderSize, QImage::Format_ARGB32);
    image.fill(kSlotPlaceholderFrame);
    QPainter p(&image);
    p.fillRect(QRect(QPoint(1, 1), kSlotPlaceholderSize - QSize(2, 2)),
               QColor::fromRgba(kSlotPlaceholderFill));
    return image;
}

// Bitmap 132: a scanner whose cable hangs unplugged, on a transparent ground.
QImage DrawNoDeviceBitmap() {
    QImage image(kNoDeviceBitmapSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(QColor(120, 124, 130), 2));
    p.setBrush(QColor(200, 203, 208));
    p.drawRoundedRect(QRectF(14, 18, 52, 44), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 154, 160));
    p.drawEllipse(QPointF(40, 34), 8, 8);
    p.setBrush(QColor(90, 94, 100));
    p.drawRect(QRectF(10, 48, 60, 8));

    // Cable from the scanner ending in a plug, away from its socket
    QPainterPath cable;
    cable.moveTo(66, 40);
    cable.cubicTo(84, 40, 80, 70, 62, 76);
    p.setPen(QPen(QColor(120, 124, 130), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 124, 130));
    p.drawRect(QRectF(48, 71, 14, 10));
    p.setBrush(QColor(180, 184, 190));
    p.drawRect(QRectF(40, 73, 8, 6));

    // The red bar: not connected
    p.setPen(QPen(QColor(244, 67, 54), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 84), QPointF(72, 12));
    return image;
}

} // namespace

QImage IconResourceImage(int id, QSize size) {
    if (id == IDI_QUILLET) {
        const bool carried = size.width() == size.height() &&
                             std::find(kWindowIconSizes.begin(), kWindowIconSizes.end(),
                                       size.width()) != kWindowIconSizes.end();
        return carried ? DrawWindowIcon(size.width()) : QImage();
    }
    if (id == IDI_EMPTY_SLOT)
        return size == kSlotPlaceholderSize ? DrawSlotPlaceholder() : QImage();
    return QImage();
}

QIcon LoadIconResource(int id) {
    QIcon icon;
    if (id == IDI_QUILLET) {
        for (int size : kWindowIconSizes)
            icon.addPixmap(QPixmap::fromImage(DrawWindowIcon(size)));
    } else if (id == IDI_EMPTY_SLOT) {
        icon.addPixmap(QPixmap::fromImage(DrawSlotPlaceholder()));
    }
    return icon;
}

QImage LoadBitmapResource(int id) {
    return id == IDB_NO_DEVICE ? DrawNoDeviceBitmap() : QImage();
}
