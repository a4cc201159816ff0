#include "MainWindowTestSupport.h"

#include "resources/Icons.h"
#include "resources/ResourceIds.h"

#include <set>

TEST(Icons, WindowIconCarriesItsFourSizes) {
    const QIcon icon = LoadIconResource(IDI_QUILLET);
    std::set<int> sizes;
    for (const QSize& size : icon.availableSizes()) {
        EXPECT_EQ(size.width(), size.height());
        sizes.insert(size.width());
    }
    EXPECT_EQ(sizes, (std::set<int>{32, 48, 64, 128}));
    for (int size : kWindowIconSizes) {
        const QImage image = IconResourceImage(IDI_QUILLET, QSize(size, size));
        ASSERT_EQ(image.size(), QSize(size, size));
        // Drawn, on a transparent ground.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
    }
    EXPECT_TRUE(IconResourceImage(IDI_QUILLET, QSize(16, 16)).isNull());
}

TEST(Icons, SlotPlaceholderIsAGreyFrameAroundTheFill) {
    const QImage image = IconResourceImage(IDI_EMPTY_SLOT, kSlotPlaceholderSize);
    ASSERT_EQ(image.size(), QSize(88, 62));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool frame = x == 0 || y == 0 || x == 87 || y == 61;
            ASSERT_EQ(image.pixel(x, y), frame ? qRgb(88, 91, 91) : qRgb(168, 106, 106))
                << x << "," << y;
        }
    }
    const QIcon icon = LoadIconResource(IDI_EMPTY_SLOT);
    ASSERT_EQ(icon.availableSizes().size(), 1);
    EXPECT_EQ(icon.availableSizes().front(), kSlotPlaceholderSize);
}

TEST(Icons, NoDeviceBitmapAndUnknownIds) {
    const QImage bitmap = LoadBitmapResource(IDB_NO_DEVICE);
    EXPECT_EQ(bitmap.size(), QSize(96, 96));
    EXPECT_TRUE(bitmap.hasAlphaChannel());
    EXPECT_TRUE(LoadBitmapResource(IDI_QUILLET).isNull());
    EXPECT_TRUE(LoadIconResource(IDB_NO_DEVICE).isNull());
    EXPECT_TRUE(LoadIconResource(0).isNull());
}

TEST(DialogTemplate, ControlsHaveUniqueIdsAndRadioGroupsStartWithAGroupButton) {
    const DialogTemplate& dialog = MainDialogTemplate();
    EXPECT_EQ(dialog.id, IDD_QUILLET_DIALOG);
    EXPECT_EQ(dialog.width, 751);
    EXPECT_EQ(dialog.height, 464);
    std::set<int> ids;
    bool previousWasRadio = false;
    for (const DialogControlTemplate& row : dialog.controls) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        const bool radio = row.kind == DialogControlKind::RadioButton;
        if (radio && !previousWasRadio) {
            EXPECT_TRUE(row.styles & kStyleGroup) << row.id;
        }
        previousWasRadio = radio;
        // Everything lies inside the dialog.
        EXPECT_LE(row.x + row.width, dialog.width) << row.id;
        EXPECT_LE(row.y + row.height, dialog.height) << row.id;
    }
    EXPECT_EQ(dialog.controls.size(), 64u);
    EXPECT_EQ(FindDialogControl(dialog, 4242), nullptr);
    EXPECT_EQ(FindDialogControl(dialog, IDC_STRIP_LAST)->x, 12 + 60 * 11);
}

TEST(DialogUnits, RoundedQuartersAndEighthsOfTheBaseUnits) {
    const DialogBaseUnits units{6, 13};
    struct Case {
        int dlu;
        int x;
        int y;
    } cases[] = {{0, 0, 0}, {1, 2, 2}, {2, 3, 3}, {4, 6, 7}, {60, 90, 98}, {751, 1127, 1220}};
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnitsToPixelsX(c.dlu, units), c.x) << c.dlu;
        EXPECT_EQ(DialogUnitsToPixelsY(c.dlu, units), c.y) << c.dlu;
    }
    // Corners are mapped, so rectangles that touch keep touching.
    const QRect left = MapDialogRect(QRect(1, 1, 3, 3), units);
    const QRect right = MapDialogRect(QRect(4, 1, 3, 3), units);
    EXPECT_EQ(left.x() + left.width(), right.x());

    const DialogBaseUnits fromFont = DialogBaseUnitsForFont(DialogFont(8));
    EXPECT_GT(fromFont.x, 2);
    EXPECT_GT(fromFont.y, fromFont.x);
}
