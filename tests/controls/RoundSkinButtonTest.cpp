#include "controls/CRoundSkinButton.h"

#include "ButtonTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace controls_test;

namespace {

const ButtonFixture::Factory kRound = [](QWidget* parent) { return new CRoundSkinButton(parent); };

// The four corner pixels, which lie outside the 8 x 8 rounding.
std::vector<QPoint> Corners(const QImage& image) {
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    return {{0, 0}, {r, 0}, {0, b}, {r, b}};
}

// The straight parts of the outline and the inside away from the corners.
void ExpectRoundFace(const QImage& image, const QColor& face) {
    const QColor outline = Sys(COLOR_BTNSHADOW);
    const int w = image.width();
    const int h = image.height();
    for (int x = 4; x < w - 4; ++x) {
        EXPECT_EQ(Pixel(image, x, 0), outline) << "top at " << x;
        EXPECT_EQ(Pixel(image, x, h - 1), outline) << "bottom at " << x;
    }
    for (int y = 4; y < h - 4; ++y) {
        EXPECT_EQ(Pixel(image, 0, y), outline) << "left at " << y;
        EXPECT_EQ(Pixel(image, w - 1, y), outline) << "right at " << y;
    }
    for (int y = 3; y < h - 3; ++y)
        for (int x = 3; x < w - 3; ++x)
            ASSERT_EQ(Pixel(image, x, y), face) << "inside at " << x << "," << y;
}

} // namespace

// A rounded face in the state colour with a shadow-coloured outline; the
// corners outside the rounding keep what was there. A hovered button keeps
// its hover face inside the hover outline, with or without the border.
TEST(RoundSkinButton, RoundedFaceByState) {
    struct Case {
        const char* name;
        Step enter;
        bool border;
        COLORREF face;
    };
    const std::vector<Case> cases = {
        {"normal", kNormal, true, kNormalBack},
        {"focused", kFocused, true, kFocusBack},
        {"hovered", kHovered, true, kHoverBack},
        {"hovered, border off", kHovered, false, kHoverBack},
        {"disabled", kDisabled, true, kNormalBack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f({60, 40}, kRound);
        f.button->EnableBorder(c.border);
        c.enter(f);
        const QImage image = f.Render();
        for (const QPoint corner : Corners(image))
            EXPECT_EQ(Pixel(image, corner.x(), corner.y()), QColor(Qt::magenta))
                << "corner " << corner.x() << "," << corner.y();
        ExpectRoundFace(image, ToQColor(c.face));
    }
}

// Pressed, the rectangular sunken frame lies over the rounded face, so the
// frame's corners are square.
TEST(RoundSkinButton, PressedShowsSquareSunkenFrame) {
    ButtonFixture f({60, 40}, kRound);
    f.button->setDown(true);
    const QImage image = f.Render();
    QImage expected = image.copy();
    Expect3dFrame(expected, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Differences(image, expected), "");
    for (const QPoint corner : Corners(image))
        EXPECT_NE(Pixel(image, corner.x(), corner.y()), QColor(Qt::magenta));
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            ASSERT_EQ(Pixel(image, x, y), ToQColor(kHoverBack)) << x << "," << y;
}

// A non-flat round button in the default role gets the rectangular black frame
// and its rounded face one pixel inside it.
TEST(RoundSkinButton, NonFlatDefaultFrame) {
    ButtonFixture f({60, 40}, kRound);
    f.button->setFlat(false);
    f.button->setDefault(true);
    const QImage image = f.Render();
    for (int x = 0; x < image.width(); ++x) {
        EXPECT_EQ(Pixel(image, x, 0), QColor(Qt::black)) << x;
        EXPECT_EQ(Pixel(image, x, image.height() - 1), QColor(Qt::black)) << x;
    }
    EXPECT_EQ(Pixel(image, image.width() / 2, image.height() / 2), ToQColor(kNormalBack));

    f.button->setDefault(false);
    EXPECT_NE(Pixel(f.Render(), 0, 0), QColor(Qt::black));
}
