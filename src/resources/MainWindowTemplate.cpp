#include "resources/DialogTemplate.h"

#include "resources/TemplateIds.h"

#include <array>

namespace {

constexpr std::uint32_t kTimeBox = kStyleCentred | kStyleSunken;

// The group box comes first so that the buttons it frames lie above it. The
// slideshow controls after the status line are never shown; the window hides
// them while it starts.
constexpr auto kControls = std::to_array<ControlTemplate>({
    {-1, ControlKind::GroupBox, "", 7, 0, 343, 39},
    {1006, ControlKind::IconButton, "Open Video", 9, 5, 66, 32},
    {1003, ControlKind::IconButton, "Options", 77, 5, 66, 32},
    {1000, ControlKind::IconButton, "Convert", 145, 5, 66, 32},
    {1084, ControlKind::IconButton, "&Help", 213, 5, 66, 32},
    {1042, ControlKind::IconButton, "About", 281, 5, 66, 32},
    {1057, ControlKind::Label, "", 68, 43, 202, 14, kTimeBox},
    {1055, ControlKind::TrackBar, "", 7, 63, 343, 17, kStyleSunken},
    {1058, ControlKind::PushButton, "Play", 14, 87, 66, 14},
    {1060, ControlKind::PushButton, "Pause", 132, 87, 66, 14},
    {1061, ControlKind::PushButton, "Stop", 250, 87, 66, 14},
    {1062, ControlKind::PushButton, "Start Time", 14, 116, 66, 14},
    {1065, ControlKind::Label, "", 82, 116, 66, 14, kTimeBox},
    {1063, ControlKind::PushButton, "End Time", 180, 116, 66, 14},
    {1064, ControlKind::Label, "", 248, 116, 66, 14, kTimeBox},
    {1047, ControlKind::IconButton, "Homepage", 133, 141, 66, 22},
    {1076, ControlKind::IconButton, "Exit", 252, 141, 66, 22},
    {1021, ControlKind::Label, "", 7, 175, 343, 14, kStyleSunken | kStyleVCentred},
    {1007, ControlKind::IconButton, "Add Music", 0, 0, 66, 32},
    {1008, ControlKind::ListView, "", 0, 0, 160, 60},
    {1009, ControlKind::ListView, "", 0, 0, 160, 60},
    {1016, ControlKind::IconButton, "Transition", 0, 0, 66, 32},
    {1017, ControlKind::Label, "", 0, 0, 120, 90, kStyleSunken},
    {1019, ControlKind::IconButton, "Preview", 0, 0, 66, 32},
    {1029, ControlKind::IconButton, "Delete", 0, 0, 32, 22},
    {1030, ControlKind::IconButton, "Delete All", 0, 0, 32, 22},
    {1031, ControlKind::IconButton, "Up", 0, 0, 32, 22},
    {1032, ControlKind::IconButton, "Down", 0, 0, 32, 22},
    {1033, ControlKind::IconButton, "Properties", 0, 0, 32, 22},
    {1056, ControlKind::PushButton, "Close", 0, 0, 50, 14},
    // How far a conversion is, and where its pictures went once it has ended.
    {1101, ControlKind::ProgressBar, "", 7, 165, 240, 8, kStyleHidden},
    {1104, ControlKind::Label, "", 250, 164, 100, 10, kStyleHidden | kStyleRight | kStyleVCentred},
    {1102, ControlKind::Label, "", 14, 141, 112, 10, kStyleHidden | kStyleVCentred},
    {1103, ControlKind::PushButton, "Open Folder", 14, 151, 66, 12, kStyleHidden},
});

} // namespace

const DialogTemplate& MainWindowTemplate()
{
    static const DialogTemplate dialog{kMainWindowTemplate, "Framelift", "MS Sans Serif", 8, 357, 196, kControls};
    return dialog;
}
