#include "controls/CRoundSkinButton.h"

#include <QPainter>

CRoundSkinButton::CRoundSkinButton(QWidget* parent) : CSkinButton(parent) {}

CRoundSkinButton::~CRoundSkinButton() = default;

// The rounded shape covers the pixels of `r` (right and bottom exclusive) with
// a one-pixel outline in the button shadow colour.
void CRoundSkinButton::DrawRoundOutline(QPainter& dc, const QRect& r, const QBrush& fill) {
    if (r.width() <= 1 || r.height() <= 1)
        return;
    dc.save();
    dc.setRenderHint(QPainter::Antialiasing, false);
    dc.setPen(QPen(ToQColor(GetSysColor(COLOR_BTNSHADOW)), 1));
    dc.setBrush(fill);
    const QRect shape(r.left(), r.top(), r.width() - 1, r.height() - 1);
    dc.drawRoundedRect(shape, CornerEllipse / 2.0, CornerEllipse / 2.0, Qt::AbsoluteSize);
    dc.restore();
}

void CRoundSkinButton::PaintBackground(QPainter& dc, QRect& r) {
    if (!isFlat() && (focused || IsDefaultButton())) {
        FrameRect(dc, r, Qt::black);
        r.adjust(1, 1, -1, -1);
    }
    DrawRoundOutline(dc, r, FaceColor());
}

void CRoundSkinButton::PaintBorder(QPainter& dc, const QRect& r) {
    if (pressedState || !isFlat()) {
        CSkinButton::PaintBorder(dc, r);
        return;
    }
    // The hover outline is hollow: the hover face stays visible inside it.
    if (hover && drawBorder)
        DrawRoundOutline(dc, r, Qt::NoBrush);
}
