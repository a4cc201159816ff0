#include "platform/ColorAdjustLuma.h"

#include <algorithm>

namespace {

constexpr int RGBMAX = 255;
// Hue given to greys, whose hue is undefined.
constexpr int UNDEFINED_HUE = HLSMAX * 2 / 3;

int HueToRgb(int n1, int n2, int hue) {
    if (hue < 0)
        hue += HLSMAX;
    if (hue > HLSMAX)
        hue -= HLSMAX;
    if (hue < HLSMAX / 6)
        return n1 + (((n2 - n1) * hue + HLSMAX / 12) / (HLSMAX / 6));
    if (hue < HLSMAX / 2)
        return n2;
    if (hue < HLSMAX * 2 / 3)
        return n1 + (((n2 - n1) * (HLSMAX * 2 / 3 - hue) + HLSMAX / 12) / (HLSMAX / 6));
    return n1;
}

int ToChannel(int value) {
    return std::clamp((value * RGBMAX + HLSMAX / 2) / HLSMAX, 0, RGBMAX);
}

} // namespace

HlsColor ColorRGBToHLS(COLORREF rgb) {
    const int r = GetRValue(rgb);
    const int g = GetGValue(rgb);
    const int b = GetBValue(rgb);
    const int cMax = std::max({r, g, b});
    const int cMin = std::min({r, g, b});

    HlsColor out;
    out.luminance = ((cMax + cMin) * HLSMAX + RGBMAX) / (2 * RGBMAX);
    if (cMax == cMin) {
        out.saturation = 0;
        out.hue = UNDEFINED_HUE;
        return out;
    }

    const int sum = cMax + cMin;
    const int span = cMax - cMin;
    if (out.luminance <= HLSMAX / 2)
        out.saturation = (span * HLSMAX + sum / 2) / sum;
    else
        out.saturation = (span * HLSMAX + (2 * RGBMAX - sum) / 2) / (2 * RGBMAX - sum);

    const int rDelta = ((cMax - r) * (HLSMAX / 6) + span / 2) / span;
    const int gDelta = ((cMax - g) * (HLSMAX / 6) + span / 2) / span;
    const int bDelta = ((cMax - b) * (HLSMAX / 6) + span / 2) / span;
    int hue;
    if (r == cMax)
        hue = bDelta - gDelta;
    else if (g == cMax)
        hue = HLSMAX / 3 + rDelta - bDelta;
    else
        hue = HLSMAX * 2 / 3 + gDelta - rDelta;
    if (hue < 0)
        hue += HLSMAX;
    if (hue >= HLSMAX)
        hue -= HLSMAX;
    out.hue = hue;
    return out;
}

COLORREF ColorHLSToRGB(int hue, int luminance, int saturation) {
    hue = std::clamp(hue, 0, HLSMAX);
    luminance = std::clamp(luminance, 0, HLSMAX);
    saturation = std::clamp(saturation, 0, HLSMAX);
    if (saturation == 0) {
        const int grey = ToChannel(luminance);
        return RGB(grey, grey, grey);
    }
    int magic2;
    if (luminance <= HLSMAX / 2)
        magic2 = (luminance * (HLSMAX + saturation) + HLSMAX / 2) / HLSMAX;
    else
        magic2 = luminance + saturation - (luminance * saturation + HLSMAX / 2) / HLSMAX;
    const int magic1 = 2 * luminance - magic2;
    return RGB(ToChannel(HueToRgb(magic1, magic2, hue + HLSMAX / 3)),
               ToChannel(HueToRgb(magic1, magic2, hue)),
               ToChannel(HueToRgb(magic1, magic2, hue - HLSMAX / 3)));
}

COLORREF ColorAdjustLuma(COLORREF rgb, int n, bool scale) {
    if (n == 0)
        return rgb & 0x00FFFFFF;
    n = std::clamp(n, -1000, 1000);
    HlsColor hls = ColorRGBToHLS(rgb);
    if (scale) {
        if (n > 0)
            hls.luminance += (HLSMAX - hls.luminance) * n / 1000;
        else
            hls.luminance += hls.luminance * n / 1000;
    } else {
        hls.luminance += n * HLSMAX / 1000;
    }
    hls.luminance = std::clamp(hls.luminance, 0, HLSMAX);
    return ColorHLSToRGB(hls.hue, hls.luminance, hls.saturation);
}
