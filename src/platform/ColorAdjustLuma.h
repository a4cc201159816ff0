#pragma once

#include "platform/SystemColors.h"

// Hue, luminance and saturation on the 0..240 scale (hue 0..239).
constexpr int HLSMAX = 240;

struct HlsColor {
    int hue = 0;
    int luminance = 0;
    int saturation = 0;
};

HlsColor ColorRGBToHLS(COLORREF rgb);
COLORREF ColorHLSToRGB(int hue, int luminance, int saturation);

// Changes the luminance of `rgb` by `n` thousandths. With `scale` the change is
// relative: n > 0 moves that share of the way to white, n < 0 to black. Without
// it, n thousandths of the full scale are added. n is clamped to -1000..1000.
COLORREF ColorAdjustLuma(COLORREF rgb, int n, bool scale);
