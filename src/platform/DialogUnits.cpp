#include "platform/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

namespace {

// a * b / c rounded half away from zero, for the non-negative values used here.
int MulDivRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

QFont DialogFont(int pointSize) {
    QFont font(QApplication::font().family());
    font.setPointSize(pointSize);
    return font;
}

DialogBaseUnits DialogBaseUnitsForFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average of the 52 advances, rounded to a whole pixel.
    return DialogBaseUnits{(letters / 26 + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int dlu, DialogBaseUnits units) {
    return MulDivRounded(dlu, units.x, 4);
}

int DialogUnitsToPixelsY(int dlu, DialogBaseUnits units) {
    return MulDivRounded(dlu, units.y, 8);
}

QRect MapDialogRect(const QRect& dluRect, DialogBaseUnits units) {
    const int left = DialogUnitsToPixelsX(dluRect.x(), units);
    const int top = DialogUnitsToPixelsY(dluRect.y(), units);
    const int right = DialogUnitsToPixelsX(dluRect.x() + dluRect.width(), units);
    const int bottom = DialogUnitsToPixelsY(dluRect.y() + dluRect.height(), units);
    return QRect(left, top, right - left, bottom - top);
}
