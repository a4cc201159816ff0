#include "resources/DialogTemplate.h"

#include "resources/ResourceIds.h"

#include <array>

namespace {

using K = DialogControlKind;

constexpr std::uint32_t kGroup = kStyleGroup;
constexpr std::uint32_t kCenter = kStyleCenter;

// Rows: id, kind, text, x, y, w, h, styles, shown, move x, move y, grow x, grow y, image.
constexpr std::array kControls = std::to_array<DialogControlTemplate>({
    {IDC_SCAN, K::DefaultPushButton, "Scan", 521, 305, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_LIVE_PICTURE, K::Text, "", 7, 7, 482, 299, kStyleNoWordWrap | kStyleSunken, true, 0, 0,
     100, 100, 0},
    {IDC_ADJUST_GROUP, K::GroupBox, "Adjust", 522, 7, 208, 161, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_SATURATION, K::Text, "Saturation", 524, 22, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_BRIGHTNESS, K::Text, "Brightness", 524, 41, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_CONTRAST, K::Text, "Contrast", 524, 60, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_RED, K::Text, "Red", 524, 79, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_GREEN, K::Text, "Green", 524, 98, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_CAPTION_BLUE, K::Text, "Blue", 524, 117, 57, 9, kCenter, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_SATURATION, K::Text, "0", 705, 22, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_BRIGHTNESS, K::Text, "0", 705, 40, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_CONTRAST, K::Text, "0", 705, 59, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_RED, K::Text, "0", 705, 78, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_GREEN, K::Text, "0", 705, 97, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VALUE_BLUE, K::Text, "0", 705, 116, 17, 8, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_SLIDER_SATURATION, K::Trackbar, "", 583, 18, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0,
     0},
    {IDC_SLIDER_BRIGHTNESS, K::Trackbar, "", 583, 37, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0,
     0},
    {IDC_SLIDER_CONTRAST, K::Trackbar, "", 583, 56, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0, 0},
    {IDC_SLIDER_RED, K::Trackbar, "", 583, 75, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0, 0},
    {IDC_SLIDER_GREEN, K::Trackbar, "", 583, 94, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0, 0},
    {IDC_SLIDER_BLUE, K::Trackbar, "", 583, 113, 117, 16, kStyleNoTicks, true, 100, 0, 0, 0, 0},
    {IDC_PROPERTIES_DEFAULT, K::RadioButton, "Default", 554, 135, 82, 10, kGroup, true, 100, 0, 0,
     0, 0},
    {IDC_PROPERTIES_CUSTOM, K::RadioButton, "Custom", 646, 135, 72, 10, kStyleNone, true, 100, 0, 0,
     0, 0},
    {IDC_HIDDEN_DEFAULT, K::PushButton, "Default", 238, 384, 46, 14, kStyleNone, false, 0, 0, 0, 0,
     0},
    {IDC_SAVE_GROUP, K::GroupBox, "", 521, 358, 208, 42, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_SAVE_FOLDER_CAPTION, K::Text, "Save Files In", 529, 366, 91, 9, kStyleNone, true, 100, 0,
     0, 0, 0},
    {IDC_SAVE_FOLDER, K::Edit, "", 529, 380, 165, 12, kStyleBorder | kStyleAutoHScroll, true, 100,
     0, 0, 0, 0},
    {IDC_BROWSE_FOLDER, K::PushButton, "...", 700, 379, 19, 14, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_FILM_TYPE_GROUP, K::GroupBox, "Film Type", 7, 344, 216, 35, kStyleNone, true, 50, 100, 0,
     0, 0},
    {IDC_FILM_SLIDE, K::RadioButton, "Slide", 25, 359, 52, 11, kGroup, true, 50, 100, 0, 0, 0},
    {IDC_FILM_NEGATIVE, K::RadioButton, "Negative", 82, 359, 61, 11, kStyleNone, true, 50, 100, 0,
     0, 0},
    {IDC_FILM_BLACK_WHITE, K::RadioButton, "Black && White", 145, 359, 65, 11, kStyleNone, true, 50,
     100, 0, 0, 0},
    {IDC_RESOLUTION_GROUP, K::GroupBox, "Resolution", 223, 344, 146, 35, kStyleNone, true, 50, 100,
     0, 0, 0},
    {IDC_RESOLUTION_STANDARD, K::RadioButton, "Standard", 243, 359, 55, 11, kGroup, true, 50, 100,
     0, 0, 0},
    {IDC_RESOLUTION_HIGH, K::RadioButton, "High", 305, 359, 50, 11, kStyleNone, true, 50, 100, 0, 0,
     0},
    {IDC_FILM_SIZE_GROUP, K::GroupBox, "Film Size", 369, 344, 118, 35, kStyleNone, true, 50, 100, 0,
     0, 0},
    {IDC_FILM_SIZE_135, K::RadioButton, "135", 389, 359, 28, 11, kGroup, true, 50, 100, 0, 0, 0},
    {IDC_FILM_SIZE_126, K::RadioButton, "126", 439, 359, 28, 11, kStyleNone, true, 50, 100, 0, 0,
     0},
    {IDC_STATUS, K::Text, "Status", 235, 383, 178, 15, kCenter | kStyleCenterImage, false, 50, 100,
     0, 0, 0},
    {IDC_LANGUAGE, K::DropDownList, "", 166, 384, 48, 30, kStyleVScroll, false, 50, 100, 0, 0, 0},
    {IDC_LANGUAGE_CAPTION, K::Text, "UI Language", 94, 386, 70, 9, kStyleNone, false, 50, 100, 0, 0,
     0},
    {IDC_NO_DEVICE_PICTURE, K::Bitmap, "", 226, 126, 64, 59,
     kStyleCenterImage | kStyleRealSizeImage | kStyleTransparent, true, 50, 50, 0, 0,
     IDB_NO_DEVICE},
    {IDC_NO_DEVICE_LABEL, K::Text, "No Device", 14, 193, 468, 30, kCenter, true, 50, 50, 0, 0, 0},
    {IDC_FORMAT_JPG, K::RadioButton, "JPG", 554, 149, 82, 10, kGroup, true, 100, 0, 0, 0, 0},
    {IDC_FORMAT_TIFF, K::RadioButton, "TIFF", 646, 149, 72, 10, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_BROWSE, K::PushButton, "Browse", 673, 305, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_VIEW_PICTURE, K::Bitmap, "", 521, 170, 209, 131, kStyleSunken, true, 100, 0, 0, 0, 0},
    {IDC_SAVE, K::PushButton, "Save", 597, 305, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_DELETE, K::PushButton, "Delete", 673, 334, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_ROTATE, K::PushButton, "Rotate", 597, 334, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_MIRROR, K::PushButton, "Mirror", 521, 334, 55, 26, kStyleNone, true, 100, 0, 0, 0, 0},
    {IDC_STRIP_GROUP, K::GroupBox, "Final images to save", 7, 398, 731, 57, kCenter, true, 0, 100,
     100, 0, 0},
    {5000, K::PushButton, "", 12, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5001, K::PushButton, "", 72, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5002, K::PushButton, "", 132, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5003, K::PushButton, "", 192, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5004, K::PushButton, "", 252, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5005, K::PushButton, "", 312, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5006, K::PushButton, "", 372, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5007, K::PushButton, "", 432, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5008, K::PushButton, "", 492, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5009, K::PushButton, "", 552, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5010, K::PushButton, "", 612, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
    {5011, K::PushButton, "", 672, 408, 60, 42, kStyleNone, true, 50, 100, 0, 0, 0},
});

// The order of UILanguageTable; "Spanish" reads shorter here than there.
constexpr std::array<const char*, 8> kLanguageItems = {
    "English", "Chinese", "Russian", "German", "French", "Italian", "Spanish", "Japanese",
};

} // namespace

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate dialog{
        IDD_QUILLET_DIALOG, 751, 464, "MS Shell Dlg", 8, kControls, IDC_LANGUAGE, kLanguageItems};
    return dialog;
}

const DialogControlTemplate* FindDialogControl(const DialogTemplate& dialog, int id) {
    for (const auto& row : dialog.controls) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}
