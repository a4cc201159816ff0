#include "platform/ColorAdjustLuma.h"
#include "platform/SystemColors.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace controls_test;

TEST(ColorRef, ChannelLayout) {
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u);
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(ColorHls, KnownColours) {
    struct Case {
        COLORREF rgb;
        int hue, luminance, saturation;
    };
    const std::vector<Case> cases = {
        {RGB(255, 0, 0), 0, 120, 240},     {RGB(0, 255, 0), 80, 120, 240},
        {RGB(0, 0, 255), 160, 120, 240},   {RGB(255, 128, 0), 20, 120, 240},
        {RGB(255, 255, 255), 160, 240, 0}, {RGB(0, 0, 0), 160, 0, 0},
        {RGB(128, 128, 128), 160, 120, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.rgb);
        const HlsColor hls = ColorRGBToHLS(c.rgb);
        EXPECT_EQ(hls.hue, c.hue);
        EXPECT_EQ(hls.luminance, c.luminance);
        EXPECT_EQ(hls.saturation, c.saturation);
    }
}

// Converting there and back lands within the rounding of the 0..240 scale.
TEST(ColorHls, RoundTrip) {
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const HlsColor hls = ColorRGBToHLS(RGB(r, g, b));
                const COLORREF back = ColorHLSToRGB(hls.hue, hls.luminance, hls.saturation);
                ASSERT_LE(std::abs(GetRValue(back) - r), 3) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetGValue(back) - g), 3) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetBValue(back) - b), 3) << r << "," << g << "," << b;
            }
}

TEST(ColorAdjustLumaTest, ScaledAndAbsoluteChanges) {
    struct Case {
        COLORREF rgb;
        int n;
        bool scale;
        COLORREF expected;
    };
    const std::vector<Case> cases = {
        {RGB(255, 128, 0), 500, true, RGB(255, 191, 128)},
        {RGB(255, 128, 0), -500, true, RGB(128, 64, 0)},
        {RGB(255, 128, 0), 1000, true, RGB(255, 255, 255)},
        {RGB(255, 128, 0), -1000, true, RGB(0, 0, 0)},
        {RGB(255, 128, 0), 0, true, RGB(255, 128, 0)},
        {RGB(255, 128, 0), 5000, true, RGB(255, 255, 255)},
        {RGB(128, 128, 128), 250, false, ColorHLSToRGB(160, 180, 0)},
        {RGB(128, 128, 128), -1000, false, RGB(0, 0, 0)},
        {RGB(255, 255, 255), 300, true, RGB(255, 255, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.rgb << std::dec << " n=" << c.n
                                        << (c.scale ? " scaled" : ""));
        EXPECT_EQ(ColorAdjustLuma(c.rgb, c.n, c.scale), c.expected);
    }
}

// System colours follow the application palette.
TEST(SystemColorsTest, FollowApplicationPalette) {
    PaletteGuard guard;
    QPalette palette = QApplication::palette();
    const std::vector<std::tuple<int, QPalette::ColorRole, QColor>> roles = {
        {COLOR_BTNFACE, QPalette::Button, QColor(1, 2, 3)},
        {COLOR_BTNTEXT, QPalette::ButtonText, QColor(4, 5, 6)},
        {COLOR_BTNHIGHLIGHT, QPalette::Light, QColor(7, 8, 9)},
        {COLOR_3DLIGHT, QPalette::Midlight, QColor(10, 11, 12)},
        {COLOR_BTNSHADOW, QPalette::Dark, QColor(13, 14, 15)},
        {COLOR_3DDKSHADOW, QPalette::Shadow, QColor(16, 17, 18)},
        {COLOR_WINDOWTEXT, QPalette::WindowText, QColor(19, 20, 21)},
        {COLOR_WINDOW, QPalette::Base, QColor(22, 23, 24)},
    };
    for (const auto& [index, role, colour] : roles)
        palette.setColor(QPalette::All, role, colour);
    QApplication::setPalette(palette);
    for (const auto& [index, role, colour] : roles)
        EXPECT_EQ(GetSysColor(index), ToColorRef(colour)) << "index " << index;
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(999), 0u);
}
