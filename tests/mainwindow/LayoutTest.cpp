#include "MainWindowTestSupport.h"

#include "resources/ResourceIds.h"

#include <map>
#include <set>

namespace {

std::map<int, QRect> Geometries(const TestDialog& dlg) {
    std::map<int, QRect> geometries;
    for (const DialogControlTemplate& row : MainDialogTemplate().controls)
        geometries[row.id] = dlg.GetDlgItem(row.id)->geometry();
    return geometries;
}

void ResizeClient(TestDialog& dlg, QSize size) {
    dlg.resize(size);
    QApplication::processEvents();
}

void ExpectStripSideBySide(const TestDialog& dlg) {
    const QRect first = dlg.GetDlgItem(IDC_STRIP_FIRST)->geometry();
    for (int k = 1; k < kStripSlotCount; ++k) {
        const QRect slot = dlg.GetDlgItem(IDC_STRIP_FIRST + k)->geometry();
        EXPECT_EQ(slot, first.translated(k * first.width(), 0)) << "slot " << k;
    }
}

} // namespace

TEST_F(MainWindowTest, WideningBy200MovesTheRightColumnAndCentresTheBottomRow) {
    TestDialog& dlg = Open();
    const QSize opened = dlg.size();
    const auto before = Geometries(dlg);

    ResizeClient(dlg, opened + QSize(200, 0));
    ASSERT_EQ(dlg.size(), opened + QSize(200, 0));

    std::set<int> right200 = {IDC_SCAN,
                              IDC_ADJUST_GROUP,
                              IDC_PROPERTIES_DEFAULT,
                              IDC_PROPERTIES_CUSTOM,
                              IDC_SAVE_GROUP,
                              IDC_SAVE_FOLDER_CAPTION,
                              IDC_SAVE_FOLDER,
                              IDC_BROWSE_FOLDER,
                              IDC_FORMAT_JPG,
                              IDC_FORMAT_TIFF,
                              IDC_BROWSE,
                              IDC_VIEW_PICTURE,
                              IDC_SAVE,
                              IDC_DELETE,
                              IDC_ROTATE,
                              IDC_MIRROR};
    // The slider column: captions, value labels and sliders.
    for (int k = 0; k < 6; ++k) {
        right200.insert(IDC_CAPTION_SATURATION + k);
        right200.insert(IDC_VALUE_SATURATION + k);
        right200.insert(IDC_SLIDER_SATURATION + k);
    }
    std::set<int> right100 = {IDC_FILM_TYPE_GROUP,  IDC_FILM_SLIDE,        IDC_FILM_NEGATIVE,
                              IDC_FILM_BLACK_WHITE, IDC_RESOLUTION_GROUP,  IDC_RESOLUTION_STANDARD,
                              IDC_RESOLUTION_HIGH,  IDC_FILM_SIZE_GROUP,   IDC_FILM_SIZE_135,
                              IDC_FILM_SIZE_126,    IDC_NO_DEVICE_PICTURE, IDC_NO_DEVICE_LABEL,
                              IDC_STATUS,           IDC_LANGUAGE,          IDC_LANGUAGE_CAPTION};
    for (int id = IDC_STRIP_FIRST; id <= IDC_STRIP_LAST; ++id)
        right100.insert(id);
    const std::set<int> wider200 = {IDC_LIVE_PICTURE, IDC_STRIP_GROUP};

    for (const auto& [id, old] : before) {
        SCOPED_TRACE(id);
        const QRect now = dlg.GetDlgItem(id)->geometry();
        if (right200.count(id)) {
            EXPECT_EQ(now, old.translated(200, 0));
        } else if (right100.count(id)) {
            EXPECT_EQ(now, old.translated(100, 0));
        } else if (wider200.count(id)) {
            EXPECT_EQ(now, old.adjusted(0, 0, 200, 0));
        } else {
            EXPECT_EQ(now, old) << "only the hidden default button stays";
            EXPECT_EQ(id, IDC_HIDDEN_DEFAULT);
        }
    }
    ExpectStripSideBySide(dlg);
}

TEST_F(MainWindowTest, EveryChildFollowsItsPercentagesFromWhereTheLayoutWasLoaded) {
    TestDialog& dlg = Open();
    const QSize opened = dlg.size();
    const auto before = Geometries(dlg);

    for (const QSize growth : {QSize(0, 100), QSize(201, 77), QSize(3, 1), QSize(640, 333)}) {
        SCOPED_TRACE(growth.width());
        ResizeClient(dlg, opened + growth);
        for (const DialogControlTemplate& row : MainDialogTemplate().controls) {
            SCOPED_TRACE(row.id);
            const QRect old = before.at(row.id);
            const QRect expected(old.x() + growth.width() * row.moveX / 100,
                                 old.y() + growth.height() * row.moveY / 100,
                                 old.width() + growth.width() * row.growX / 100,
                                 old.height() + growth.height() * row.growY / 100);
            EXPECT_EQ(dlg.GetDlgItem(row.id)->geometry(), expected);
        }
        ExpectStripSideBySide(dlg);
    }

    // Back to the opening size: back to the opening places.
    ResizeClient(dlg, opened);
    EXPECT_EQ(Geometries(dlg), before);
}

TEST_F(MainWindowTest, WindowCannotShrinkBelowItsOpeningSize) {
    TestDialog& dlg = Open();
    const QSize opened = dlg.size();
    EXPECT_EQ(dlg.MinimumWindowSize(), opened);
    EXPECT_EQ(dlg.minimumSize(), opened);
    const auto before = Geometries(dlg);

    for (const QSize attempt : {opened - QSize(100, 100), QSize(10, 10), opened - QSize(1, 0)}) {
        ResizeClient(dlg, attempt);
        EXPECT_EQ(dlg.size(), opened);
    }
    // Wider but lower than the minimum: only the width grows.
    ResizeClient(dlg, QSize(opened.width() + 50, opened.height() - 60));
    EXPECT_EQ(dlg.size(), QSize(opened.width() + 50, opened.height()));
    EXPECT_EQ(dlg.GetDlgItem(IDC_SCAN)->geometry(), before.at(IDC_SCAN).translated(50, 0));
}
