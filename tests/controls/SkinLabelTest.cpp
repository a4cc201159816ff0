#include "controls/CSkinLabel.h"

#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace controls_test;

namespace {

constexpr COLORREF kBack = RGB(255, 255, 0);
constexpr COLORREF kText = RGB(0, 122, 217);

QImage RenderLabel(CSkinLabel& label) {
    return RenderOver(label, Qt::magenta);
}

QRect TextBounds(const QImage& image) {
    return BoundsNotOf(image, ToQColor(kBack));
}

struct Placement {
    enum H { Left, HCentre, Right } h;
    enum V { Top, VCentre } v;
};

} // namespace

// Where the text goes, by static type and centring flag. A line break under
// the centring flag keeps the text at the top, centred horizontally only.
TEST(SkinLabelLayout, AlignmentByStaticType) {
    struct Case {
        const char* name;
        unsigned style;
        QString text;
        Placement placement;
    };
    const std::vector<Case> cases = {
        {"left", CSkinLabel::SS_LEFT, "Hi", {Placement::Left, Placement::Top}},
        {"centre", CSkinLabel::SS_CENTER, "Hi", {Placement::HCentre, Placement::Top}},
        {"right", CSkinLabel::SS_RIGHT, "Hi", {Placement::Right, Placement::Top}},
        {"left, no wrap", CSkinLabel::SS_LEFTNOWORDWRAP, "Hi", {Placement::Left, Placement::Top}},
        {"other type", 0x5, "Hi", {Placement::Left, Placement::Top}},
        {"centre image, one line",
         CSkinLabel::SS_CENTER | CSkinLabel::SS_CENTERIMAGE,
         "42",
         {Placement::HCentre, Placement::VCentre}},
        {"centre image, line break",
         CSkinLabel::SS_CENTER | CSkinLabel::SS_CENTERIMAGE,
         "4\r\n2",
         {Placement::HCentre, Placement::Top}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinLabel label;
        label.resize(200, 80);
        label.setFont(CrispFont(16));
        label.SetStaticStyle(c.style);
        label.SetBackgroundColor(kBack).SetForegroundColor(kText).SetLabelText(c.text);
        const QImage image = RenderLabel(label);
        const QRect text = TextBounds(image);
        ASSERT_FALSE(text.isEmpty());
        const int leftMargin = text.left();
        const int rightMargin = image.width() - 1 - text.right();
        const int topMargin = text.top();
        const int bottomMargin = image.height() - 1 - text.bottom();
        switch (c.placement.h) {
        case Placement::Left:
            EXPECT_LT(leftMargin, 6);
            break;
        case Placement::HCentre:
            EXPECT_LE(std::abs(leftMargin - rightMargin), 3);
            break;
        case Placement::Right:
            EXPECT_LT(rightMargin, 6);
            break;
        }
        if (c.placement.v == Placement::Top)
            EXPECT_LT(topMargin, 8);
        else
            EXPECT_LE(std::abs(topMargin - bottomMargin), 8);
    }
}

// Word-wrapping types break a long text into lines; the no-wrap type keeps one
// line, and the centring flag draws a line break as none.
TEST(SkinLabelLayout, WrappingByStaticType) {
    struct Case {
        const char* name;
        unsigned style;
        QString text;
        bool severalLines;
    };
    const QString longText = "alpha beta gamma delta";
    const std::vector<Case> cases = {
        {"left wraps", CSkinLabel::SS_LEFT, longText, true},
        {"centre wraps", CSkinLabel::SS_CENTER, longText, true},
        {"no wrap", CSkinLabel::SS_LEFTNOWORDWRAP, longText, false},
        {"centre image is one line", CSkinLabel::SS_CENTERIMAGE, longText, false},
        {"centre image with a bare line feed", CSkinLabel::SS_CENTERIMAGE, "ab\ncd", false},
        {"no wrap keeps a line break", CSkinLabel::SS_LEFTNOWORDWRAP, "ab\r\ncd", true},
    };
    const int lineHeight = QFontMetrics(CrispFont(16)).height();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinLabel label;
        label.resize(70, 120);
        label.setFont(CrispFont(16));
        label.SetStaticStyle(c.style);
        label.SetBackgroundColor(kBack).SetForegroundColor(kText).SetLabelText(c.text);
        const QRect text = TextBounds(RenderLabel(label));
        ASSERT_FALSE(text.isEmpty());
        EXPECT_EQ(text.height() > lineHeight, c.severalLines) << "text height " << text.height();
    }
}

// The whole label is painted: its own background, or the system face colour
// when it has none, which follows a system colour change.
TEST(SkinLabelLook, BackgroundAndFaceColour) {
    PaletteGuard guard;
    CSkinLabel plain;
    CSkinLabel coloured;
    for (CSkinLabel* label : {&plain, &coloured})
        label->resize(40, 20);
    coloured.SetBackgroundColor(RGB(0, 0, 0));

    EXPECT_EQ(Differences(RenderLabel(plain), Sys(COLOR_BTNFACE)), "");
    EXPECT_EQ(Differences(RenderLabel(coloured), QColor(0, 0, 0)), "");

    QPalette system = QApplication::palette();
    system.setColor(QPalette::Button, QColor(12, 34, 56));
    QApplication::setPalette(system);
    QCoreApplication::processEvents();
    EXPECT_EQ(Differences(RenderLabel(plain), QColor(12, 34, 56)), "");
    EXPECT_EQ(Differences(RenderLabel(coloured), QColor(0, 0, 0)), "");
}

TEST(SkinLabelLook, TextInForegroundColour) {
    CSkinLabel label;
    label.resize(120, 40);
    label.setFont(CrispFont(16));
    label.SetBackgroundColor(kBack).SetForegroundColor(kText).SetLabelText("Status");
    const QImage image = RenderLabel(label);
    int textPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = Pixel(image, x, y);
            if (c == ToQColor(kBack))
                continue;
            ASSERT_EQ(c, ToQColor(kText)) << x << "," << y;
            ++textPixels;
        }
    EXPECT_GT(textPixels, 20);
}

// The setters return the label; bold and size are independent settings.
TEST(SkinLabelFont, SettersChainAndKeepEachOther) {
    CSkinLabel label;
    EXPECT_EQ(&label.SetBold(true), &label);
    label.SetBold(true).SetPointSize(32);
    EXPECT_TRUE(label.font().bold());
    EXPECT_EQ(label.font().pointSize(), 32);

    label.SetBold(false);
    EXPECT_FALSE(label.font().bold());
    EXPECT_EQ(label.font().pointSize(), 32);

    const QString family = label.font().family();
    label.SetPointSize(20).SetBold(true).SetPointSize(0);
    EXPECT_TRUE(label.font().bold());
    EXPECT_EQ(label.font().pointSize(), 20);
    EXPECT_EQ(label.font().family(), family);
}

// A bigger point size draws bigger text.
TEST(SkinLabelFont, PointSizeChangesDrawnText) {
    auto textHeight = [](int points) {
        CSkinLabel label;
        label.resize(300, 120);
        label.SetBackgroundColor(kBack).SetForegroundColor(kText).SetLabelText("H");
        label.SetPointSize(points);
        return TextBounds(RenderLabel(label)).height();
    };
    const int small = textHeight(10);
    const int large = textHeight(32);
    EXPECT_GT(large, small * 2);
}

TEST(SkinLabelText, SetLabelTextShowsTheText) {
    CSkinLabel label;
    label.resize(100, 30);
    label.SetBackgroundColor(kBack).SetLabelText("Please connect to scanner");
    EXPECT_EQ(label.text(), "Please connect to scanner");
    EXPECT_FALSE(TextBounds(RenderLabel(label)).isEmpty());
    label.SetLabelText("");
    EXPECT_TRUE(TextBounds(RenderLabel(label)).isEmpty());
}
