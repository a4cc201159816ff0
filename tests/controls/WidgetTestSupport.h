#pragma once

#include "platform/SystemColors.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QTest>
#include <QWidget>

#include <functional>
#include <ostream>
#include <string>

// Readable colours in failure messages.
inline void PrintTo(const QColor& color, std::ostream* os) {
    *os << color.name().toStdString();
}

namespace controls_test {

// A top-level window, shown and active, so that focus, the widget under the
// pointer and activation behave as on a desktop.
class ShownWindow {
public:
    explicit ShownWindow(QSize size = {320, 200}) {
        window.resize(size);
        window.move(40, 40);
    }
    void ShowActive() {
        window.show();
        QApplication::setActiveWindow(&window);
        (void)QTest::qWaitForWindowActive(&window);
        QCoreApplication::processEvents();
    }
    QWidget window;
};

// Restores the application palette when a test changed it.
class PaletteGuard {
public:
    PaletteGuard() : saved(QApplication::palette()) {}
    ~PaletteGuard() {
        QApplication::setPalette(saved);
        QCoreApplication::processEvents();
    }

private:
    QPalette saved;
};

// The number of paints `widget` gets after `action`, once pending updates
// have been delivered.
inline int PaintsAfter(QWidget& widget, const std::function<void()>& action) {
    class Counter : public QObject {
    public:
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    QTest::qWait(30);
    widget.installEventFilter(&counter);
    action();
    QTest::qWait(60);
    widget.removeEventFilter(&counter);
    return counter.paints;
}

// Paints `widget` alone over a fill of `under`: pixels the widget leaves
// unpainted keep that colour.
inline QImage RenderOver(QWidget& widget, const QColor& under) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(under);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}
inline QColor Sys(int index) {
    return ToQColor(GetSysColor(index));
}

// Bounding box of the pixels for which `ink` holds; empty when none does.
inline QRect InkBounds(const QImage& image, const std::function<bool(QColor)>& ink) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline QRect BoundsNotOf(const QImage& image, const QColor& background) {
    return InkBounds(image, [&](QColor c) { return c.rgb() != background.rgb(); });
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(widget.mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline void MoveMouse(QWidget& widget, QPoint local, Qt::MouseButtons buttons = Qt::NoButton) {
    SendMouse(widget, QEvent::MouseMove, local, Qt::NoButton, buttons);
}

// A font drawn without smoothing, so caption pixels are exactly the text colour.
inline QFont CrispFont(int pixelSize = 14) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The first pixels of `image` that differ from `expected`, for the message;
// empty when the two agree.
inline std::string Differences(const QImage& image, const QImage& expected) {
    if (image.size() != expected.size())
        return "sizes differ";
    QString out;
    int count = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (image.pixel(x, y) != expected.pixel(x, y) && count++ < 8)
                out += QStringLiteral("(%1,%2) got %3 want %4; ")
                           .arg(x)
                           .arg(y)
                           .arg(image.pixelColor(x, y).name(), expected.pixelColor(x, y).name());
    if (count > 8)
        out += QStringLiteral("%1 pixels differ").arg(count);
    return out.toStdString();
}

inline QImage Filled(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

inline std::string Differences(const QImage& image, const QColor& everywhere) {
    return Differences(image, Filled(image.size(), everywhere));
}

} // namespace controls_test
