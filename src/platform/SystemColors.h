#pragma once

#include <QColor>

#include <cstdint>

// Colours as the program keeps them: 0x00BBGGRR.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>(r & 0xFF) | (static_cast<COLORREF>(g & 0xFF) << 8) |
           (static_cast<COLORREF>(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

inline QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF ToColorRef(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// System colour indexes, with their customary values.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;

// The system colour `index` taken from the application palette (active group);
// 0 (black) for an index without a counterpart.
COLORREF GetSysColor(int index);
