#include "controls/ButtonImages.h"

#include "platform/SystemColors.h"

#include <QPainter>
#include <QPixmap>

bool ReadIconImage(const QIcon& icon, ButtonImageSlot& slot) {
    slot.Clear();
    if (icon.isNull())
        return false;
    const QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty() || sizes.first().isEmpty())
        return false;
    const QSize size = sizes.first();
    QImage image = icon.pixmap(size).toImage();
    if (image.isNull())
        return false;
    // A pixmap may come back at a device pixel ratio; the button draws in pixels.
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(1.0);
    slot.image = image;
    slot.width = size.width();
    slot.height = size.height();
    return true;
}

QImage ReadBitmap(const QImage& bitmap) {
    if (bitmap.isNull())
        return {};
    QImage rgb = bitmap.convertToFormat(QImage::Format_RGB32);
    if (!rgb.isNull())
        rgb.setDevicePixelRatio(1.0);
    return rgb;
}

QImage MakeBitmapMask(const QImage& rgb) {
    QImage masked(rgb.size(), QImage::Format_ARGB32_Premultiplied);
    if (masked.isNull())
        return {};
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = src[x] | 0xFF000000u;
            dst[x] = (pixel & 0x00FFFFFFu) == 0 ? 0u : pixel;
        }
    }
    return masked;
}

bool IsEmbossInk(unsigned int argb) {
    return qAlpha(argb) >= 128 && qGray(argb) < 128;
}

void DrawEmbossed(QPainter& dc, const QPoint& pos, const QImage& source) {
    if (source.isNull())
        return;
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    auto inkIn = [&](COLORREF color) {
        QImage ink(src.size(), QImage::Format_ARGB32_Premultiplied);
        ink.fill(Qt::transparent);
        const QRgb value = ToQColor(color).rgb();
        for (int y = 0; y < src.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(ink.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                if (IsEmbossInk(in[x]))
                    out[x] = value;
            }
        }
        return ink;
    };
    dc.drawImage(pos + QPoint(1, 1), inkIn(GetSysColor(COLOR_BTNHIGHLIGHT)));
    dc.drawImage(pos, inkIn(GetSysColor(COLOR_BTNSHADOW)));
}
