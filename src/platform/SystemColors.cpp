#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

COLORREF GetSysColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    auto role = [&](QPalette::ColorRole r) {
        return ToColorRef(palette.color(QPalette::Active, r));
    };
    switch (index) {
    case COLOR_WINDOW:
        return role(QPalette::Base);
    case COLOR_WINDOWTEXT:
        return role(QPalette::WindowText);
    case COLOR_HIGHLIGHT:
        return role(QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT:
        return role(QPalette::HighlightedText);
    case COLOR_BTNFACE:
        return role(QPalette::Button);
    case COLOR_BTNSHADOW:
        return role(QPalette::Dark);
    case COLOR_GRAYTEXT:
        return ToColorRef(palette.color(QPalette::Disabled, QPalette::WindowText));
    case COLOR_BTNTEXT:
        return role(QPalette::ButtonText);
    case COLOR_BTNHIGHLIGHT:
        return role(QPalette::Light);
    case COLOR_3DDKSHADOW:
        return role(QPalette::Shadow);
    case COLOR_3DLIGHT:
        return role(QPalette::Midlight);
    default:
        return 0;
    }
}
