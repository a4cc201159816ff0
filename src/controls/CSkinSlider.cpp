#include "controls/CSkinSlider.h"

#include "platform/ColorAdjustLuma.h"

#include <QCursor>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

CSkinSlider::CSkinSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent), lightColor(ColorAdjustLuma(BaseColor, 500, true)),
      darkColor(ColorAdjustLuma(BaseColor, -500, true)) {}

QRect CSkinSlider::ThumbRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

COLORREF CSkinSlider::ThumbColor(const QRect& thumb) const {
    if (!isEnabled())
        return DisabledColor;
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    if (thumb.contains(pointer))
        return isSliderDown() ? lightColor : darkColor;
    return BaseColor;
}

void CSkinSlider::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    QStyleOptionSlider option;
    initStyleOption(&option);

    // The style draws groove and ticks; the thumb is ours.
    option.subControls = QStyle::SC_SliderGroove;
    if (tickPosition() != QSlider::NoTicks)
        option.subControls |= QStyle::SC_SliderTickmarks;
    const QRect thumb =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &dc, this);

    // Fill and outline in one colour.
    dc.fillRect(thumb, ToQColor(ThumbColor(thumb)));

    // Styles that show focus on the thumb would show none now.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_SliderFocusRect, &option, this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &dc, this);
    }
}
