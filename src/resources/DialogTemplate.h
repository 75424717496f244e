#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Kinds of child control a dialog template can hold.
enum class ControlKind {
    Label,             // static text
    Icon,              // static picture showing icon imageId
    GroupBox,          // frame with an optional title
    PushButton,
    DefaultPushButton, // the button Enter presses
    CheckBox,          // two-state box with its text on the right
    IconButton,        // flat owner-drawn button with an icon above its caption
    TrackBar,          // horizontal slider
    ListView,          // report-style list
    Edit,              // one-line text field
    DropDownList,      // combo box the user picks from; height is the opened list's
    ProgressBar,       // horizontal bar from 0 to a maximum, without text
};

// Style flags of a control; combine with |.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleHidden = 1u << 0,       // created without being shown
    kStyleCentred = 1u << 1,      // text centred horizontally
    kStyleRight = 1u << 2,        // text right-aligned
    kStyleVCentred = 1u << 3,     // text centred vertically
    kStyleSunken = 1u << 4,       // sunken edge around the control
    kStyleBorder = 1u << 6,       // thin border (edit fields)
};

// One child control: position and size are dialog units, converted to pixels
// with the dialog font's base units when the dialog is built.
struct ControlTemplate {
    int id;                 // -1 for controls without an id
    ControlKind kind;
    std::string_view caption;
    int x;
    int y;
    int width;
    int height;
    std::uint32_t style = kStyleNone;
    std::span<const std::string_view> items = {}; // initial entries of a drop-down list
    int imageId = 0;                              // icon resource of an Icon control
};

// A dialog: its caption, font, client size in dialog units and its controls
// in creation (and tab) order.
struct DialogTemplate {
    int id;
    std::string_view caption;
    std::string_view fontFace;
    int fontPointSize;
    int width;
    int height;
    std::span<const ControlTemplate> controls;
};

// The templates of the program, one per file.
const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& MainWindowTemplate();
