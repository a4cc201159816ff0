#pragma once

#include "platform/SystemColors.h"

#include <QSlider>

// Horizontal slider that draws its thumb itself as a flat rectangle whose
// colour tells disabled, pointer over the thumb, and thumb dragged apart. The
// groove and tick marks keep the style's own drawing.
class CSkinSlider : public QSlider {
    Q_OBJECT
public:
    explicit CSkinSlider(QWidget* parent = nullptr);

    static constexpr COLORREF BaseColor = RGB(255, 128, 0);
    static constexpr COLORREF DisabledColor = RGB(160, 160, 160);

    COLORREF LightColor() const { return lightColor; }
    COLORREF DarkColor() const { return darkColor; }
    // Where the thumb is drawn, in the slider's coordinates.
    QRect ThumbRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The thumb colour for the current state; the pointer is read now.
    COLORREF ThumbColor(const QRect& thumb) const;

    COLORREF lightColor;
    COLORREF darkColor;
};
