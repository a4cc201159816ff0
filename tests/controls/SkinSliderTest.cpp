#include "controls/CSkinSlider.h"

#include "WidgetTestSupport.h"

#include <QCursor>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace controls_test;

namespace {

struct SliderFixture {
    ShownWindow shown;
    CSkinSlider* slider;

    SliderFixture() {
        slider = new CSkinSlider(&shown.window);
        slider->setGeometry(20, 20, 160, 24);
        slider->setRange(0, 100);
        slider->setValue(40);
        shown.ShowActive();
    }
    void PointAtThumb() { QCursor::setPos(slider->mapToGlobal(slider->ThumbRect().center())); }
    void PointAway() { QCursor::setPos(slider->mapToGlobal(QPoint(-15, -15))); }
    QImage Render() { return slider->grab().toImage(); }
};

} // namespace

TEST(SkinSliderColours, LightAndDarkFromLuminanceHalfway) {
    CSkinSlider slider;
    EXPECT_EQ(slider.LightColor(), RGB(255, 191, 128));
    EXPECT_EQ(slider.DarkColor(), RGB(128, 64, 0));
}

// The thumb is one flat colour: grey when disabled, dark under the pointer,
// light under the pointer while dragged, the base colour otherwise. The pointer
// is read when the thumb is painted.
TEST(SkinSliderLook, ThumbColourByState) {
    struct Case {
        const char* name;
        std::function<void(SliderFixture&)> enter;
        COLORREF colour;
    };
    const std::vector<Case> cases = {
        {"pointer away", [](SliderFixture& f) { f.PointAway(); }, CSkinSlider::BaseColor},
        {"pointer over the thumb", [](SliderFixture& f) { f.PointAtThumb(); }, RGB(128, 64, 0)},
        {"dragged under the pointer",
         [](SliderFixture& f) {
             f.slider->setSliderDown(true);
             f.PointAtThumb();
         },
         RGB(255, 191, 128)},
        {"dragged, pointer off the thumb",
         [](SliderFixture& f) {
             f.slider->setSliderDown(true);
             f.PointAway();
         },
         CSkinSlider::BaseColor},
        {"disabled, pointer over the thumb",
         [](SliderFixture& f) {
             f.slider->setEnabled(false);
             f.PointAtThumb();
         },
         CSkinSlider::DisabledColor},
        {"disabled, pointer away",
         [](SliderFixture& f) {
             f.slider->setEnabled(false);
             f.PointAway();
         },
         CSkinSlider::DisabledColor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SliderFixture f;
        c.enter(f);
        const QImage image = f.Render();
        const QRect thumb = f.slider->ThumbRect();
        ASSERT_GT(thumb.width(), 2);
        ASSERT_GT(thumb.height(), 2);
        EXPECT_EQ(Differences(image.copy(thumb).convertToFormat(QImage::Format_ARGB32),
                              ToQColor(c.colour)),
                  "");
    }
}

// Outside the thumb the slider looks like the style's own slider.
TEST(SkinSliderLook, GrooveIsTheStyles) {
    SliderFixture f;
    f.PointAway();
    QSlider plain(Qt::Horizontal, &f.shown.window);
    plain.setGeometry(20, 60, 160, 24);
    plain.setRange(0, 100);
    plain.setValue(40);
    plain.show();
    const QImage skinned = f.Render().convertToFormat(QImage::Format_ARGB32);
    const QImage standard = plain.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(skinned.size(), standard.size());
    const QRect thumb = f.slider->ThumbRect().adjusted(-3, -3, 3, 3);
    int compared = 0;
    for (int y = 0; y < skinned.height(); ++y)
        for (int x = 0; x < skinned.width(); ++x) {
            if (thumb.contains(x, y))
                continue;
            ASSERT_EQ(skinned.pixel(x, y), standard.pixel(x, y)) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 100);
}
