#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QPoint;

// One image held by a skinned button, prepared once when it is assigned: the
// image is premultiplied ARGB whose alpha is the transparency mask.
struct ButtonImageSlot {
    QImage image;
    int width = 0;
    int height = 0;

    bool IsEmpty() const { return image.isNull(); }
    void Clear() { *this = ButtonImageSlot{}; }
};

// Reads `icon` at its natural size (the first size it offers) into `slot`;
// false when the icon offers no size or yields no picture.
bool ReadIconImage(const QIcon& icon, ButtonImageSlot& slot);

// Reads `bitmap` as an opaque colour picture; a null image when that fails.
QImage ReadBitmap(const QImage& bitmap);

// The drawable form of an opaque picture with its pure-black (0, 0, 0) pixels
// transparent; a null image when it cannot be made.
QImage MakeBitmapMask(const QImage& rgb);

// True for the pixels an embossed (disabled) image draws: opaque and darker
// than mid-grey. Light and transparent pixels leave the target untouched.
bool IsEmbossInk(unsigned int argb);

// Draws `source` at `pos` in the disabled look: its ink once in the button
// highlight colour one pixel right and down, then in the button shadow colour
// in place.
void DrawEmbossed(QPainter& dc, const QPoint& pos, const QImage& source);
