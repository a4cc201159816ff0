#include "controls/CSkinButton.h"

#include "ButtonTestSupport.h"

#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

#include <vector>

using namespace controls_test;

namespace {

QIcon SolidIcon(QSize size, const QColor& color) {
    QPixmap pixmap(size);
    pixmap.fill(color);
    return QIcon(pixmap);
}

QImage SolidImage(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Where a w x h image sits in a button without caption: centred, the halving
// truncated toward zero.
QPoint Centred(QSize button, QSize image) {
    return {(button.width() - image.width()) / 2, (button.height() - image.height()) / 2};
}

// The face of the state with `image` drawn over it at `at`, its pure-black
// pixels left out.
QImage FaceWithImage(QSize size, const QColor& face, const QImage& image, QPoint at) {
    QImage expected = Filled(size, face);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            const QRgb pixel = image.pixel(x, y);
            if (expected.rect().contains(p) && (pixel & 0xFFFFFF) != 0)
                expected.setPixel(p, pixel | 0xFF000000u);
        }
    return expected;
}

struct StateCase {
    const char* name;
    Step enter;
    COLORREF face;
};

const std::vector<StateCase> kEnabledStates = {
    {"normal", kNormal, kNormalBack},
    {"focused", kFocused, kFocusBack},
    {"hovered", kHovered, kHoverBack},
    {"pressed", kPressed, kHoverBack},
};

} // namespace

// The hover icon alone shows in every state, centred in a button without caption.
TEST(ButtonIcons, HoverIconAloneShowsInEveryState) {
    const QColor red(200, 0, 0);
    for (const auto& c : kEnabledStates) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetPressedShift(0, 0);
        ASSERT_EQ(f.button->SetIcons(SolidIcon({20, 10}, red)), CSkinButton::ImageOk);
        c.enter(f);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), ToQColor(c.face));
        FillRect(expected, QRect(Centred(image.size(), {20, 10}), QSize(20, 10)), red);
        EXPECT_EQ(Differences(image, expected), "");
    }
}

TEST(ButtonIcons, NormalIconInStatesWithoutHover) {
    const QColor hoverColor(200, 0, 0);
    const QColor normalColor(0, 90, 0);
    const std::vector<std::pair<StateCase, QColor>> cases = {
        {kEnabledStates[0], normalColor},
        {kEnabledStates[1], normalColor},
        {kEnabledStates[2], hoverColor},
        {kEnabledStates[3], hoverColor},
    };
    for (const auto& [c, shown] : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetPressedShift(0, 0);
        ASSERT_EQ(
            f.button->SetIcons(SolidIcon({20, 10}, hoverColor), SolidIcon({20, 10}, normalColor)),
            CSkinButton::ImageOk);
        c.enter(f);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), ToQColor(c.face));
        FillRect(expected, QRect(Centred(image.size(), {20, 10}), QSize(20, 10)), shown);
        EXPECT_EQ(Differences(image, expected), "");
    }
}

TEST(ButtonIcons, DisabledIconIsEmbossed) {
    ButtonFixture f;
    f.button->EnableBorder(false);
    f.button->SetIcons(SolidIcon({20, 10}, QColor(200, 0, 0)));
    f.button->setEnabled(false);
    const QImage image = f.Render();
    const QPoint at = Centred(image.size(), {20, 10});
    QImage expected = Filled(image.size(), ToQColor(kNormalBack));
    FillRect(expected, QRect(at + QPoint(1, 1), QSize(20, 10)), Sys(COLOR_BTNHIGHLIGHT));
    FillRect(expected, QRect(at, QSize(20, 10)), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Differences(image, expected), "");
}

// Without a hover icon every image goes and the face alone is drawn; an icon
// without a size fails and takes the other icon with it.
TEST(ButtonIcons, ClearingAndFailure) {
    struct Case {
        const char* name;
        std::function<int(CSkinButton&)> assign;
        int result;
    };
    const std::vector<Case> cases = {
        {"no icons", [](CSkinButton& b) { return b.SetIcons(QIcon()); }, CSkinButton::ImageOk},
        {"null bitmap", [](CSkinButton& b) { return b.SetBitmap(QImage()); }, CSkinButton::ImageOk},
        {"sizeless hover icon",
         [](CSkinButton& b) { return b.SetIcons(QIcon(new SizelessEngine)); },
         CSkinButton::ImageUnreadable},
        {"sizeless normal icon",
         [](CSkinButton& b) {
             return b.SetIcons(SolidIcon({20, 10}, Qt::red), QIcon(new SizelessEngine));
         },
         CSkinButton::ImageUnreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetBitmap(SolidImage({30, 30}, QColor(0, 0, 200)));
        EXPECT_EQ(c.assign(*f.button), c.result);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image, Filled(image.size(), ToQColor(kNormalBack))), "");
    }
}

// Icons and bitmap exclude each other: each assignment removes the other kind.
TEST(ButtonIcons, IconsAndBitmapReplaceEachOther) {
    const QColor iconColor(200, 0, 0);
    const QColor bitmapColor(0, 0, 200);
    {
        SCOPED_TRACE("bitmap after icons");
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetIcons(SolidIcon({40, 30}, iconColor));
        ASSERT_EQ(f.button->SetBitmap(SolidImage({10, 10}, bitmapColor)), CSkinButton::ImageOk);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), ToQColor(kNormalBack));
        FillRect(expected, QRect(Centred(image.size(), {10, 10}), QSize(10, 10)), bitmapColor);
        EXPECT_EQ(Differences(image, expected), "");
    }
    {
        SCOPED_TRACE("icons after bitmap");
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetBitmap(SolidImage({40, 30}, bitmapColor));
        ASSERT_EQ(f.button->SetIcons(SolidIcon({10, 10}, iconColor)), CSkinButton::ImageOk);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), ToQColor(kNormalBack));
        FillRect(expected, QRect(Centred(image.size(), {10, 10}), QSize(10, 10)), iconColor);
        EXPECT_EQ(Differences(image, expected), "");
    }
}

// Pure-black bitmap pixels show the face of the state; every other pixel,
// near-black ones included, is drawn as it is.
TEST(ButtonBitmap, BlackPixelsShowTheFace) {
    QImage bitmap(20, 12, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            QRgb pixel = qRgb(10 * x, 200, 20 * y);
            if ((x + y) % 3 == 0)
                pixel = qRgb(0, 0, 0);
            else if (x == 5)
                pixel = qRgb(0, 0, 1);
            bitmap.setPixel(x, y, pixel);
        }
    for (const auto& c : kEnabledStates) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetPressedShift(0, 0);
        ASSERT_EQ(f.button->SetBitmap(bitmap), CSkinButton::ImageOk);
        c.enter(f);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image, FaceWithImage(image.size(), ToQColor(c.face), bitmap,
                                                   Centred(image.size(), bitmap.size()))),
                  "");
    }
}

// Disabled, the bitmap is embossed with its transparent pixels made white
// first, so they stay out of the relief; without the grey look it is drawn as
// when enabled.
TEST(ButtonBitmap, DisabledLook) {
    // Left half transparent black, right half dark grey.
    QImage bitmap(20, 10, QImage::Format_RGB32);
    bitmap.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            bitmap.setPixel(x, y, qRgb(40, 40, 40));
    {
        SCOPED_TRACE("embossed");
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetBitmap(bitmap);
        f.button->setEnabled(false);
        const QImage image = f.Render();
        const QPoint at = Centred(image.size(), bitmap.size());
        QImage expected = Filled(image.size(), ToQColor(kNormalBack));
        FillRect(expected, QRect(at + QPoint(11, 1), QSize(10, 10)), Sys(COLOR_BTNHIGHLIGHT));
        FillRect(expected, QRect(at + QPoint(10, 0), QSize(10, 10)), Sys(COLOR_BTNSHADOW));
        EXPECT_EQ(Differences(image, expected), "");
    }
    {
        SCOPED_TRACE("grey look off");
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetBitmap(bitmap);
        f.button->SetGrayWhenDisabled(false);
        f.button->setEnabled(false);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image, FaceWithImage(image.size(), ToQColor(kNormalBack), bitmap,
                                                   Centred(image.size(), bitmap.size()))),
                  "");
    }
}

// The centring offset is halved toward zero: an image larger than the button
// overhangs one pixel more on the right and bottom for an odd difference.
TEST(ButtonBitmap, PlacementHalvesTowardZero) {
    struct Case {
        QSize image;
        QPoint offset;
    };
    const std::vector<Case> cases = {
        {{33, 23}, {-1, -1}}, {{34, 24}, {-2, -2}}, {{27, 17}, {1, 1}},
        {{30, 20}, {0, 0}},   {{31, 20}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.image.width() << "x" << c.image.height());
        QImage bitmap(c.image, QImage::Format_RGB32);
        for (int y = 0; y < c.image.height(); ++y)
            for (int x = 0; x < c.image.width(); ++x)
                bitmap.setPixel(x, y, qRgb(5 + 7 * x, 5 + 10 * y, 90));
        ButtonFixture f({30, 20});
        f.button->EnableBorder(false);
        f.button->SetBitmap(bitmap);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image,
                              FaceWithImage(image.size(), ToQColor(kNormalBack), bitmap, c.offset)),
                  "");
    }
}

TEST(ButtonBitmap, PressedShiftMovesImage) {
    for (const QPoint shift : {QPoint(1, 1), QPoint(0, 0)}) {
        SCOPED_TRACE(testing::Message() << "shift " << shift.x() << "," << shift.y());
        const QImage bitmap = SolidImage({10, 8}, QColor(0, 0, 200));
        ButtonFixture f;
        f.button->EnableBorder(false);
        f.button->SetPressedShift(shift.x(), shift.y());
        f.button->SetBitmap(bitmap);
        f.button->setDown(true);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image, FaceWithImage(image.size(), ToQColor(kHoverBack), bitmap,
                                                   Centred(image.size(), bitmap.size()) + shift)),
                  "");
    }
}

// With a caption the image keeps the margin from the left edge and the caption
// is centred in the room to its right.
TEST(ButtonIcons, CaptionBesideImage) {
    const QColor iconColor(200, 0, 0);
    ButtonFixture f({90, 40});
    f.button->EnableBorder(false);
    f.button->setFont(CrispFont());
    f.button->setText("Go");
    f.button->SetIcons(SolidIcon({10, 10}, iconColor));
    const QImage image = f.Render();
    const QRect icon = InkBounds(image, [&](QColor c) { return c == iconColor; });
    EXPECT_EQ(icon, QRect(3, 15, 10, 10));
    const QRect text = InkBounds(image, [](QColor c) { return c == ToQColor(kNormalText); });
    ASSERT_FALSE(text.isEmpty());
    // The caption's own box, centred in the room that starts the image's width
    // plus the margin from the left edge.
    const int roomLeft = 10 + 3;
    const int advance = QFontMetrics(CrispFont()).horizontalAdvance("Go");
    const int boxLeft = roomLeft + (image.width() - roomLeft - advance) / 2;
    EXPECT_GE(text.left(), boxLeft);
    EXPECT_LE(text.right(), boxLeft + advance);
}
