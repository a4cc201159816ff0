#include "controls/CSkinButton.h"

#include "ButtonTestSupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace controls_test;

namespace {

// Splits the rows holding ink into lines (runs of rows without a gap).
std::vector<QRect> InkLines(const QImage& image, const QColor& face) {
    std::vector<QRect> lines;
    QRect current;
    for (int y = 0; y < image.height(); ++y) {
        QRect row;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != face.rgb())
                row |= QRect(x, y, 1, 1);
        if (row.isEmpty()) {
            if (!current.isEmpty())
                lines.push_back(current);
            current = QRect();
        } else {
            current |= row;
        }
    }
    if (!current.isEmpty())
        lines.push_back(current);
    return lines;
}

struct StateCase {
    const char* name;
    Step enter;
    COLORREF face;
};

} // namespace

// The face colour by state, with no frame at all when the border is off.
TEST(SkinButtonLook, FaceColourByStateWithoutBorder) {
    const std::vector<StateCase> cases = {
        {"normal", kNormal, kNormalBack},
        {"focused", kFocused, kFocusBack},
        {"hovered", kHovered, kHoverBack},
        {"pressed", kPressed, kHoverBack},
        {"disabled", kDisabled, kNormalBack},
        {"hovered and focused", Both(kFocused, kHovered), kHoverBack},
        {"pressed and focused", Both(kFocused, kPressed), kHoverBack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->EnableBorder(false);
        c.enter(f);
        const QImage image = f.Render();
        EXPECT_EQ(Differences(image, Filled(image.size(), ToQColor(c.face))), "");
    }
}

// With the border on, a flat button shows the raised frame while hovered, the
// sunken one while pressed, and none otherwise.
TEST(SkinButtonLook, FlatFramePixels) {
    enum class Frame { None, Raised, Sunken };
    struct Case {
        const char* name;
        Step enter;
        COLORREF face;
        Frame frame;
    };
    const std::vector<Case> cases = {
        {"normal", kNormal, kNormalBack, Frame::None},
        {"focused", kFocused, kFocusBack, Frame::None},
        {"hovered", kHovered, kHoverBack, Frame::Raised},
        {"pressed", kPressed, kHoverBack, Frame::Sunken},
        {"hovered and pressed", Both(kHovered, kPressed), kHoverBack, Frame::Sunken},
        {"disabled", kDisabled, kNormalBack, Frame::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        c.enter(f);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), ToQColor(c.face));
        if (c.frame == Frame::Raised)
            Expect3dFrame(expected, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
        if (c.frame == Frame::Sunken)
            Expect3dFrame(expected, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(Differences(image, expected), "");
    }
}

// The non-flat look: four edge lines when up, a one-pixel shadow frame when
// pressed, and an outer black frame for the default button.
TEST(SkinButtonLook, NonFlatFramePixels) {
    auto raisedEdges = [](QImage& img, int inset) {
        const int l = inset, t = inset;
        const int r = img.width() - inset, b = img.height() - inset;
        auto put = [&](int x, int y, int index) { img.setPixelColor(x, y, Sys(index)); };
        // Each polyline runs from its first point through the second towards
        // the third, which it does not reach.
        for (int y = b - 1; y > t; --y)
            put(l, y, COLOR_BTNHIGHLIGHT);
        for (int x = l; x < r; ++x)
            put(x, t, COLOR_BTNHIGHLIGHT);
        for (int y = b - 1; y > t + 1; --y)
            put(l + 1, y, COLOR_3DLIGHT);
        for (int x = l + 1; x < r; ++x)
            put(x, t + 1, COLOR_3DLIGHT);
        for (int x = l; x < r - 1; ++x)
            put(x, b - 1, COLOR_3DDKSHADOW);
        for (int y = b - 1; y > t - 1; --y)
            put(r - 1, y, COLOR_3DDKSHADOW);
        for (int x = l + 1; x < r - 2; ++x)
            put(x, b - 2, COLOR_BTNSHADOW);
        for (int y = b - 2; y > t; --y)
            put(r - 2, y, COLOR_BTNSHADOW);
    };
    struct Case {
        const char* name;
        Step enter;
        std::function<void(QImage&)> expect;
    };
    const std::vector<Case> cases = {
        {"up", kNormal,
         [&](QImage& img) {
             img.fill(ToQColor(kNormalBack));
             raisedEdges(img, 0);
         }},
        {"pressed", kPressed,
         [](QImage& img) {
             img.fill(ToQColor(kHoverBack));
             for (int x = 0; x < img.width(); ++x) {
                 img.setPixelColor(x, 0, Sys(COLOR_BTNSHADOW));
                 img.setPixelColor(x, img.height() - 1, Sys(COLOR_BTNSHADOW));
             }
             for (int y = 0; y < img.height(); ++y) {
                 img.setPixelColor(0, y, Sys(COLOR_BTNSHADOW));
                 img.setPixelColor(img.width() - 1, y, Sys(COLOR_BTNSHADOW));
             }
         }},
        {"default button", [](ButtonFixture& f) { f.button->setDefault(true); },
         [&](QImage& img) {
             img.fill(Qt::black);
             for (int y = 1; y < img.height() - 1; ++y)
                 for (int x = 1; x < img.width() - 1; ++x)
                     img.setPixelColor(x, y, ToQColor(kNormalBack));
             raisedEdges(img, 1);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        f.button->setFlat(false);
        c.enter(f);
        const QImage image = f.Render();
        QImage expected = Filled(image.size(), Qt::magenta);
        c.expect(expected);
        EXPECT_EQ(Differences(image, expected), "");
    }
}

// While pressed the caption moves by the pressed shift, and only then.
TEST(SkinButtonCaption, PressedShiftMovesCaption) {
    struct Case {
        QPoint shift;
    };
    for (const auto& c : {Case{{1, 1}}, Case{{0, 0}}, Case{{3, -2}}}) {
        SCOPED_TRACE(testing::Message() << "shift " << c.shift.x() << "," << c.shift.y());
        ButtonFixture f({80, 40});
        f.button->EnableBorder(false);
        f.button->setFont(CrispFont());
        f.button->setText("Ab");
        f.button->SetPressedShift(c.shift.x(), c.shift.y());
        const QRect up = BoundsNotOf(f.Render(), ToQColor(kNormalBack));
        f.button->setDown(true);
        const QRect down = BoundsNotOf(f.Render(), ToQColor(kHoverBack));
        ASSERT_FALSE(up.isEmpty());
        EXPECT_EQ(down, up.translated(c.shift));
    }
}

TEST(SkinButtonCaption, InitialPressedShiftIsOnePixel) {
    ButtonFixture f({80, 40});
    f.button->EnableBorder(false);
    f.button->setFont(CrispFont());
    f.button->setText("Ab");
    const QRect up = BoundsNotOf(f.Render(), ToQColor(kNormalBack));
    f.button->setDown(true);
    EXPECT_EQ(BoundsNotOf(f.Render(), ToQColor(kHoverBack)), up.translated(1, 1));
}

// The caption is drawn in the text colour of the state; disabled, it is
// embossed: shadow colour in place over the highlight one pixel right and down.
TEST(SkinButtonCaption, TextColourByState) {
    const std::vector<std::tuple<const char*, Step, COLORREF, COLORREF>> cases = {
        {"normal", kNormal, kNormalBack, kNormalText},
        {"focused", kFocused, kFocusBack, kFocusText},
        {"hovered", kHovered, kHoverBack, kHoverText},
        {"pressed", kPressed, kHoverBack, kHoverText},
    };
    for (const auto& [name, enter, face, text] : cases) {
        SCOPED_TRACE(name);
        ButtonFixture f({80, 40});
        f.button->EnableBorder(false);
        f.button->setFont(CrispFont());
        f.button->setText("Hello");
        enter(f);
        const QImage image = f.Render();
        int textPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (p == ToQColor(face).rgb())
                    continue;
                ASSERT_EQ(p, ToQColor(text).rgb()) << "at " << x << "," << y;
                ++textPixels;
            }
        EXPECT_GT(textPixels, 10);
    }
}

TEST(SkinButtonCaption, DisabledCaptionIsEmbossed) {
    ButtonFixture f({80, 40});
    f.button->EnableBorder(false);
    f.button->setFont(CrispFont());
    f.button->setText("Hello");
    f.button->setEnabled(false);
    const QImage image = f.Render();
    const QRgb face = ToQColor(kNormalBack).rgb();
    const QRgb light = Sys(COLOR_BTNHIGHLIGHT).rgb();
    const QRgb dark = Sys(COLOR_BTNSHADOW).rgb();
    int darkPixels = 0;
    for (int y = 0; y + 1 < image.height(); ++y)
        for (int x = 0; x + 1 < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            ASSERT_TRUE(p == face || p == light || p == dark) << "at " << x << "," << y;
            if (p != dark)
                continue;
            ++darkPixels;
            // The highlight copy sits one pixel right and down, under the shadow copy.
            const QRgb below = image.pixel(x + 1, y + 1);
            EXPECT_TRUE(below == light || below == dark) << "at " << x + 1 << "," << y + 1;
        }
    EXPECT_GT(darkPixels, 10);
}

// A long caption wraps at words; the block is centred and each line within it.
TEST(SkinButtonCaption, LongCaptionWrapsCentred) {
    ButtonFixture f({70, 90});
    f.button->EnableBorder(false);
    f.button->setFont(CrispFont(14));
    f.button->setText("one two three");
    const QImage image = f.Render();
    const QColor face = ToQColor(kNormalBack);
    const std::vector<QRect> lines = InkLines(image, face);
    ASSERT_GE(lines.size(), 2u);
    for (const QRect& line : lines) {
        // Left and right margins equal within the halvings' rounding.
        const int leftMargin = line.left();
        const int rightMargin = image.width() - 1 - line.right();
        EXPECT_LE(std::abs(leftMargin - rightMargin), 2);
    }
    const QRect all = BoundsNotOf(image, face);
    const int topMargin = all.top();
    const int bottomMargin = image.height() - 1 - all.bottom();
    EXPECT_LE(std::abs(topMargin - bottomMargin), QFontMetrics(CrispFont(14)).height() / 2);
    EXPECT_GT(topMargin, 10);
}

// The hover state table.
TEST(SkinButtonHover, StateTable) {
    struct Case {
        const char* name;
        Step events;
        bool hovering;
    };
    const std::vector<Case> cases = {
        {"pointer moves onto the button", kHovered, true},
        {"press that began elsewhere",
         [](ButtonFixture& f) { MoveMouse(*f.button, f.Inside(), Qt::LeftButton); }, false},
        {"released, then moved again",
         [](ButtonFixture& f) {
             MoveMouse(*f.button, f.Inside(), Qt::LeftButton);
             MoveMouse(*f.button, f.Inside());
         },
         true},
        {"button held after hover began",
         [](ButtonFixture& f) {
             f.Hover();
             MoveMouse(*f.button, f.Inside() + QPoint(1, 0), Qt::LeftButton);
         },
         true},
        {"pointer moves off the button",
         [](ButtonFixture& f) {
             f.Hover();
             MoveMouse(*f.button, QPoint(-10, -10));
         },
         false},
        {"pointer over another widget",
         [](ButtonFixture& f) {
             MoveMouse(*f.button, f.button->mapFrom(&f.shown.window, f.after->geometry().center()));
         },
         false},
        {"leave notification",
         [](ButtonFixture& f) {
             f.Hover();
             QEvent leave(QEvent::Leave);
             QCoreApplication::sendEvent(f.button, &leave);
         },
         false},
        {"focus lost",
         [](ButtonFixture& f) {
             f.button->setFocus();
             f.Hover();
             f.after->setFocus();
         },
         false},
        {"window deactivated",
         [](ButtonFixture& f) {
             f.Hover();
             ShownWindow other;
             other.ShowActive();
         },
         false},
        {"disabled",
         [](ButtonFixture& f) {
             f.Hover();
             f.button->setEnabled(false);
         },
         false},
        {"clicked while hovered",
         [](ButtonFixture& f) {
             f.Hover();
             QTest::mouseClick(f.shown.window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                               f.button->mapTo(&f.shown.window, f.Inside()));
         },
         true},
        {"non-flat button",
         [](ButtonFixture& f) {
             f.button->setFlat(false);
             f.Hover();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        c.events(f);
        EXPECT_EQ(f.button->IsHovering(), c.hovering);
    }
}

TEST(SkinButtonHover, HoverShowsUntilLeave) {
    ButtonFixture f;
    f.button->EnableBorder(false);
    f.Hover();
    EXPECT_EQ(Pixel(f.Render(), 5, 5), ToQColor(kHoverBack));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(f.button, &leave);
    EXPECT_EQ(Pixel(f.Render(), 5, 5), ToQColor(kNormalBack));
}

// A double click is two clicks, whichever way the events arrive.
TEST(SkinButtonClick, DoubleClickGivesTwoClicks) {
    {
        ButtonFixture f;
        QSignalSpy clicks(f.button, &QAbstractButton::clicked);
        const QPoint p = f.Inside();
        SendMouse(*f.button, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        SendMouse(*f.button, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
        SendMouse(*f.button, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
        SendMouse(*f.button, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(clicks.count(), 2);
    }
    {
        ButtonFixture f;
        QSignalSpy clicks(f.button, &QAbstractButton::clicked);
        // Through the window system, as a real double click arrives.
        QTest::mouseDClick(f.shown.window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                           f.button->mapTo(&f.shown.window, f.Inside()));
        EXPECT_EQ(clicks.count(), 2);
    }
}

// The button takes the focus before the dialog hears of the click.
TEST(SkinButtonClick, ClickFocusesButtonBeforeOtherHandlers) {
    ButtonFixture f;
    f.button->setFocusPolicy(Qt::NoFocus);
    f.after->setFocus();
    bool focusedWhenNotified = false;
    QObject::connect(f.button, &QAbstractButton::clicked,
                     [&] { focusedWhenNotified = f.button->hasFocus(); });
    QTest::mouseClick(f.button, Qt::LeftButton, Qt::NoModifier, f.Inside());
    EXPECT_TRUE(focusedWhenNotified);
}

// Disabling gives the focus to the next tab stop after the button, even when
// the button did not have it, or to the parent when there is none.
TEST(SkinButtonFocus, DisablingMovesFocus) {
    struct Case {
        const char* name;
        Step before;
        std::function<QWidget*(ButtonFixture&)> expected;
    };
    const std::vector<Case> cases = {
        {"button had the focus", kFocused, [](ButtonFixture& f) { return f.after; }},
        {"a later control had it", [](ButtonFixture& f) { f.last->setFocus(); },
         [](ButtonFixture& f) { return f.after; }},
        {"next tab stop disabled",
         [](ButtonFixture& f) {
             f.last->setFocus();
             f.after->setEnabled(false);
         },
         [](ButtonFixture& f) { return f.last; }},
        {"no other tab stop",
         [](ButtonFixture& f) {
             f.button->setFocus();
             f.after->setEnabled(false);
             f.last->setEnabled(false);
         },
         [](ButtonFixture& f) { return &f.shown.window; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        c.before(f);
        f.button->setEnabled(false);
        EXPECT_EQ(QApplication::focusWidget(), c.expected(f));
    }
}

// A system palette change resets the six colours to the system button colours;
// a palette set on the parent alone is no system change.
TEST(SkinButtonColours, SystemPaletteChangeResetsColours) {
    PaletteGuard guard;
    ButtonFixture f;
    EXPECT_EQ(f.button->GetStateColor(CSkinButton::HoverBack), kHoverBack);

    QPalette parentPalette = f.shown.window.palette();
    parentPalette.setColor(QPalette::Button, QColor(1, 2, 3));
    f.shown.window.setPalette(parentPalette);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.button->GetStateColor(CSkinButton::HoverBack), kHoverBack);

    QPalette system = QApplication::palette();
    system.setColor(QPalette::Button, QColor(10, 20, 30));
    system.setColor(QPalette::ButtonText, QColor(200, 100, 50));
    QApplication::setPalette(system);
    QCoreApplication::processEvents();
    for (int slot : {CSkinButton::HoverBack, CSkinButton::NormalBack, CSkinButton::FocusBack})
        EXPECT_EQ(f.button->GetStateColor(slot), RGB(10, 20, 30)) << "slot " << slot;
    for (int slot : {CSkinButton::HoverText, CSkinButton::NormalText, CSkinButton::FocusText})
        EXPECT_EQ(f.button->GetStateColor(slot), RGB(200, 100, 50)) << "slot " << slot;
    f.button->EnableBorder(false);
    EXPECT_EQ(Pixel(f.Render(), 5, 5), QColor(10, 20, 30));
}

// Settings that change the look repaint the button unless asked not to; an
// image assignment repaints also when it fails, since the old images are gone.
TEST(SkinButtonSettings, RepaintFlags) {
    struct Case {
        const char* name;
        std::function<void(CSkinButton&)> change;
        bool repaints;
    };
    const std::vector<Case> cases = {
        {"colour", [](CSkinButton& b) { b.SetStateColor(CSkinButton::NormalBack, 1, true); }, true},
        {"colour, no repaint",
         [](CSkinButton& b) { b.SetStateColor(CSkinButton::NormalBack, 1, false); }, false},
        {"border", [](CSkinButton& b) { b.EnableBorder(false, true); }, true},
        {"border, no repaint", [](CSkinButton& b) { b.EnableBorder(false, false); }, false},
        {"pressed shift", [](CSkinButton& b) { b.SetPressedShift(0, 0, true); }, true},
        {"pressed shift, no repaint", [](CSkinButton& b) { b.SetPressedShift(0, 0, false); },
         false},
        {"bitmap", [](CSkinButton& b) { b.SetBitmap(QImage(4, 4, QImage::Format_RGB32)); }, true},
        {"no icons", [](CSkinButton& b) { b.SetIcons(QIcon()); }, true},
        {"failed icon", [](CSkinButton& b) { b.SetIcons(QIcon(new SizelessEngine)); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonFixture f;
        const int paints = PaintsAfter(*f.button, [&] { c.change(*f.button); });
        EXPECT_EQ(paints > 0, c.repaints) << paints << " paints";
    }
}

// Slots outside 0..5 are refused and leave the six colours alone.
TEST(SkinButtonSettings, ColourSlotOutOfRange) {
    ButtonFixture f;
    f.button->SetStateColor(6, RGB(1, 2, 3));
    f.button->SetStateColor(-1, RGB(1, 2, 3));
    EXPECT_EQ(f.button->GetStateColor(6), 0u);
    EXPECT_EQ(f.button->GetStateColor(CSkinButton::HoverBack), kHoverBack);
    EXPECT_EQ(f.button->GetStateColor(CSkinButton::FocusText), kFocusText);
}
