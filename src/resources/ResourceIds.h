#pragma once

// Resource and control identifiers of the program (dialog template 102, its
// controls, icons, bitmap and string ids).

// Dialog
constexpr int IDD_QUILLET_DIALOG = 102;

// Icons and bitmap
constexpr int IDI_QUILLET = 128;    // window icon
constexpr int IDB_NO_DEVICE = 132;  // picture of control 1013 while no scanner is open
constexpr int IDI_EMPTY_SLOT = 134; // placeholder picture of an empty strip slot

// Controls of template 102
constexpr int IDC_LANGUAGE = 1000;     // language chooser (hidden)
constexpr int IDC_LIVE_PICTURE = 1001; // live-picture area
constexpr int IDC_SLIDER_SATURATION = 1002;
constexpr int IDC_SLIDER_BRIGHTNESS = 1003;
constexpr int IDC_SLIDER_CONTRAST = 1004;
constexpr int IDC_SLIDER_RED = 1005;
constexpr int IDC_SLIDER_GREEN = 1006;
constexpr int IDC_SLIDER_BLUE = 1007;
constexpr int IDC_SAVE_FOLDER = 1008;   // edit box
constexpr int IDC_BROWSE_FOLDER = 1009; // "..." button
constexpr int IDC_LANGUAGE_CAPTION = 1010;
constexpr int IDC_SAVE_FOLDER_CAPTION = 1011;
constexpr int IDC_STATUS = 1012; // status label (hidden)
constexpr int IDC_NO_DEVICE_PICTURE = 1013;
constexpr int IDC_NO_DEVICE_LABEL = 1014;
constexpr int IDC_STRIP_GROUP = 1015;
constexpr int IDC_VIEW_PICTURE = 1016; // the selected image

constexpr int IDC_SCAN = 3000;
constexpr int IDC_RESOLUTION_STANDARD = 3001;
constexpr int IDC_RESOLUTION_HIGH = 3002;
constexpr int IDC_FILM_SLIDE = 3003;
constexpr int IDC_FILM_NEGATIVE = 3004;
constexpr int IDC_FILM_BLACK_WHITE = 3005;
constexpr int IDC_FILM_SIZE_135 = 3006;
constexpr int IDC_FILM_SIZE_126 = 3007;
constexpr int IDC_BROWSE = 3008;
constexpr int IDC_SAVE = 3009;
constexpr int IDC_DELETE = 3010;
constexpr int IDC_ROTATE = 3011;
constexpr int IDC_VALUE_SATURATION = 3012;
constexpr int IDC_VALUE_BRIGHTNESS = 3013;
constexpr int IDC_VALUE_CONTRAST = 3014;
constexpr int IDC_VALUE_RED = 3015;
constexpr int IDC_VALUE_GREEN = 3016;
constexpr int IDC_VALUE_BLUE = 3017;
constexpr int IDC_MIRROR = 3018;
constexpr int IDC_HIDDEN_DEFAULT = 3021; // hidden push button without a handler
constexpr int IDC_PROPERTIES_DEFAULT = 3022;
constexpr int IDC_PROPERTIES_CUSTOM = 3023;
constexpr int IDC_FILM_TYPE_GROUP = 3024;
constexpr int IDC_RESOLUTION_GROUP = 3025;
constexpr int IDC_FILM_SIZE_GROUP = 3026;
constexpr int IDC_ADJUST_GROUP = 3027;
constexpr int IDC_CAPTION_SATURATION = 3028;
constexpr int IDC_CAPTION_BRIGHTNESS = 3029;
constexpr int IDC_CAPTION_CONTRAST = 3030;
constexpr int IDC_CAPTION_RED = 3031;
constexpr int IDC_CAPTION_GREEN = 3032;
constexpr int IDC_CAPTION_BLUE = 3033;
constexpr int IDC_SAVE_GROUP = 3034;
constexpr int IDC_FORMAT_JPG = 3035;
constexpr int IDC_FORMAT_TIFF = 3036;

constexpr int IDC_STRIP_FIRST = 5000; // thumbnail slots 5000 to 5011
constexpr int IDC_STRIP_LAST = 5011;
constexpr int kStripSlotCount = IDC_STRIP_LAST - IDC_STRIP_FIRST + 1;

// String ids
constexpr int IDS_SCAN = 131;
constexpr int IDS_ADJUST = 132;
constexpr int IDS_SATURATION = 133;
constexpr int IDS_BRIGHTNESS = 134;
constexpr int IDS_CONTRAST = 135;
constexpr int IDS_RED = 136;
constexpr int IDS_GREEN = 137;
constexpr int IDS_BLUE = 138;
constexpr int IDS_DEFAULT = 139;
constexpr int IDS_CUSTOM = 140;
constexpr int IDS_FILM_TYPE = 141;
constexpr int IDS_SLIDE = 142;
constexpr int IDS_NEGATIVE = 143;
constexpr int IDS_BLACK_WHITE = 144;
constexpr int IDS_RESOLUTION = 145;
constexpr int IDS_FILM_SIZE = 146;
constexpr int IDS_SETTING = 147;
constexpr int IDS_UI_LANGUAGE = 148;
constexpr int IDS_SAVE_FILES_IN = 149;
constexpr int IDS_BROWSE = 150;
constexpr int IDS_SAVE_SUCCESS = 151;
constexpr int IDS_SAVE_FAILED = 152;
constexpr int IDS_CONNECT_SCANNER = 153;
constexpr int IDS_STANDARD = 154;
constexpr int IDS_HIGH = 155;
constexpr int IDS_MIRROR = 156;
constexpr int IDS_ROTATE = 157;
constexpr int IDS_DELETE = 158;
constexpr int IDS_SAVE = 159;
constexpr int IDS_FINAL_IMAGES = 160;
constexpr int IDS_LIST_FULL = 161;
