#pragma once

#include "controls/CSkinButton.h"

#include "WidgetTestSupport.h"

#include <QIconEngine>
#include <QPushButton>

#include <functional>

namespace controls_test {

constexpr COLORREF kHoverBack = RGB(255, 128, 0);
constexpr COLORREF kHoverText = RGB(0, 0, 255);
constexpr COLORREF kNormalBack = RGB(93, 93, 93);
constexpr COLORREF kNormalText = RGB(255, 255, 0);
constexpr COLORREF kFocusBack = RGB(0, 200, 120);
constexpr COLORREF kFocusText = RGB(200, 0, 200);

// A shown window with a skinned button first in the tab order and two ordinary
// buttons after it. The six state colours are all different.
struct ButtonFixture {
    using Factory = std::function<CSkinButton*(QWidget*)>;

    ShownWindow shown;
    CSkinButton* button;
    QPushButton* after;
    QPushButton* last;

    explicit ButtonFixture(QSize buttonSize = {60, 40}, const Factory& make = nullptr) {
        button = make ? make(&shown.window) : new CSkinButton(&shown.window);
        after = new QPushButton("after", &shown.window);
        last = new QPushButton("last", &shown.window);
        button->setGeometry(QRect(QPoint(20, 20), buttonSize));
        after->setGeometry(200, 20, 60, 30);
        last->setGeometry(200, 80, 60, 30);
        button->SetStateColor(CSkinButton::HoverBack, kHoverBack);
        button->SetStateColor(CSkinButton::HoverText, kHoverText);
        button->SetStateColor(CSkinButton::NormalBack, kNormalBack);
        button->SetStateColor(CSkinButton::NormalText, kNormalText);
        button->SetStateColor(CSkinButton::FocusBack, kFocusBack);
        button->SetStateColor(CSkinButton::FocusText, kFocusText);
        shown.ShowActive();
        // Activation focuses the first tab stop; keep the button unfocused.
        last->setFocus();
    }
    QPoint Inside() const { return QPoint(button->width() / 2, button->height() / 2); }
    void Hover() { MoveMouse(*button, Inside()); }
    QImage Render() { return RenderOver(*button, Qt::magenta); }
};

using Step = std::function<void(ButtonFixture&)>;

inline const Step kNormal = [](ButtonFixture&) {};
inline const Step kFocused = [](ButtonFixture& f) { f.button->setFocus(); };
inline const Step kHovered = [](ButtonFixture& f) { f.Hover(); };
inline const Step kPressed = [](ButtonFixture& f) { f.button->setDown(true); };
inline const Step kDisabled = [](ButtonFixture& f) { f.button->setEnabled(false); };

inline Step Both(Step a, Step b) {
    return [a, b](ButtonFixture& f) {
        a(f);
        b(f);
    };
}

inline void FillRect(QImage& image, const QRect& r, const QColor& color) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.rect().contains(x, y))
                image.setPixelColor(x, y, color);
}

// The 3-D frame: top edge w-1 and left edge h-1 pixels in the first colour,
// right column and bottom row complete in the second.
inline void Expect3dFrame(QImage& image, const QColor& first, const QColor& second) {
    const int w = image.width();
    const int h = image.height();
    FillRect(image, QRect(0, 0, w - 1, 1), first);
    FillRect(image, QRect(0, 0, 1, h - 1), first);
    FillRect(image, QRect(w - 1, 0, 1, h), second);
    FillRect(image, QRect(0, h - 1, w, 1), second);
}

// An icon that exists but offers no size to draw it at.
class SizelessEngine : public QIconEngine {
public:
    void paint(QPainter*, const QRect&, QIcon::Mode, QIcon::State) override {}
    QIconEngine* clone() const override { return new SizelessEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
};

} // namespace controls_test
