#pragma once

#include <cstdint>
#include <span>

// Dialog template 102, the main window, as data: its size and font, and one row
// per control in template order (which is also the tab and stacking order).
// Positions and sizes are in dialog units.

enum class DialogControlKind {
    DefaultPushButton,
    PushButton,
    RadioButton,
    GroupBox,
    Text,
    Trackbar,
    Edit,
    DropDownList,
    Bitmap,
};

// Style flags of a control row.
enum DialogControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleGroup = 1u << 0,         // first control of a radio group
    kStyleCenter = 1u << 1,        // text (or a group box caption) centred horizontally
    kStyleCenterImage = 1u << 2,   // centred vertically; a bitmap centred in the control
    kStyleNoWordWrap = 1u << 3,    // text on one line, left-aligned
    kStyleSunken = 1u << 4,        // sunken edge
    kStyleNoTicks = 1u << 5,       // trackbar without tick marks
    kStyleBorder = 1u << 6,        // edit box with a border
    kStyleAutoHScroll = 1u << 7,   // edit box that scrolls horizontally
    kStyleVScroll = 1u << 8,       // drop-down list with a vertical scroll bar
    kStyleRealSizeImage = 1u << 9, // bitmap at its own size
    kStyleTransparent = 1u << 10,  // bitmap drawn over what lies behind it
};

struct DialogControlTemplate {
    int id;
    DialogControlKind kind;
    const char* text; // UTF-8 template text; "" for none
    int x, y, width, height;
    std::uint32_t styles;
    bool shown;
    int moveX, moveY, growX, growY; // dynamic layout percentages
    int imageId;                    // bitmap resource of a picture control, 0 for none
};

struct DialogTemplate {
    int id;
    int width, height; // dialog units
    const char* fontName;
    int fontPointSize;
    std::span<const DialogControlTemplate> controls;
    // Initialisation data: the items the language chooser receives, in order.
    int comboBoxId;
    std::span<const char* const> comboBoxItems;
};

const DialogTemplate& MainDialogTemplate();

// The row of control `id`, or nullptr.
const DialogControlTemplate* FindDialogControl(const DialogTemplate& dialog, int id);
