#pragma once

#include "controls/CSkinButton.h"

// Skinned push button with a rounded face: the command buttons. The corners
// outside the rounding are left to whatever lies behind the button.
class CRoundSkinButton : public CSkinButton {
    Q_OBJECT
public:
    explicit CRoundSkinButton(QWidget* parent = nullptr);
    ~CRoundSkinButton() override;

    // Diameter of the corner ellipse, in pixels.
    static constexpr int CornerEllipse = 8;

protected:
    void PaintBackground(QPainter& dc, QRect& r) override;
    void PaintBorder(QPainter& dc, const QRect& r) override;

private:
    static void DrawRoundOutline(QPainter& dc, const QRect& r, const QBrush& fill);
};
