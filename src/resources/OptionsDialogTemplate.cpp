#include "resources/DialogTemplate.h"

#include "resources/TemplateIds.h"

#include <array>

namespace {

constexpr std::uint32_t kLabel = kStyleVCentred;
constexpr std::uint32_t kNumber = kStyleBorder | kStyleCentred;

constexpr auto kResolutions = std::to_array<std::string_view>(
    {"Original size", "640*480", "720 * 576", "720 * 480", "480*576", "480*480", "352 * 288", "352 * 240",
     "Custom size"});
constexpr auto kResizeModes = std::to_array<std::string_view>({"Preserve aspect ratio", "Stretch"});
// In the order of the stored deinterlacing modes.
constexpr auto kDeinterlaceModes = std::to_array<std::string_view>({"Off", "Automatic", "Always"});
constexpr auto kFrameRates = std::to_array<std::string_view>(
    {"Original frame rate", "23.976", "24", "25", "29.97", "30", "Custom frame rate"});

// The controls after Cancel belong to a single-file output and compressors
// that this program does not offer; the dialog hides them while it opens,
// and OK still stores what they hold.
constexpr auto kControls = std::to_array<ControlTemplate>({
    {1098, ControlKind::Label, "Output Format:", 7, 7, 66, 14, kLabel},
    {1090, ControlKind::DropDownList, "", 80, 8, 126, 118}, // filled from the picture formats
    {1089, ControlKind::Label, "Output directory:", 7, 27, 66, 14, kLabel},
    {1087, ControlKind::Edit, "", 79, 27, 126, 14, kStyleBorder},
    {1088, ControlKind::PushButton, "Browse", 205, 27, 66, 14},
    {1026, ControlKind::Label, "Resolution:", 7, 47, 66, 14, kLabel},
    {1025, ControlKind::DropDownList, "", 80, 47, 126, 137, kStyleNone, kResolutions},
    {1027, ControlKind::Edit, "", 214, 47, 22, 14, kNumber},
    {1028, ControlKind::Edit, "", 248, 47, 22, 14, kNumber},
    {1079, ControlKind::Label, "Resize mode:", 7, 67, 66, 14, kLabel},
    {1070, ControlKind::DropDownList, "", 80, 67, 126, 35, kStyleNone, kResizeModes},
    {1091, ControlKind::Label, "JPG Quality:", 7, 87, 66, 14, kLabel},
    {1092, ControlKind::Edit, "", 79, 87, 39, 14, kNumber},
    {1094, ControlKind::Label, "1-100, MIN is 1, MAX is 100", 127, 87, 140, 14, kLabel},
    {1095, ControlKind::Label, "Sampling interval:", 7, 107, 66, 14, kLabel},
    {1096, ControlKind::Edit, "", 79, 107, 39, 14, kNumber},
    {1097, ControlKind::Label, "Frames", 127, 107, 66, 14, kLabel},
    {1078, ControlKind::Label, "Frame rate:", 7, 127, 66, 14, kLabel},
    {1068, ControlKind::DropDownList, "", 80, 127, 126, 100, kStyleNone, kFrameRates},
    {1069, ControlKind::Edit, "", 214, 127, 40, 14, kStyleBorder},
    {1099, ControlKind::Label, "fps", 257, 127, 18, 14, kLabel},
    {1105, ControlKind::GroupBox, "Video processing", 7, 147, 264, 47},
    {1106, ControlKind::CheckBox, "Tone-map HDR", 14, 159, 192, 12},
    {1107, ControlKind::Label, "Deinterlace:", 14, 175, 59, 14, kLabel},
    {1108, ControlKind::DropDownList, "", 80, 175, 126, 50, kStyleNone, kDeinterlaceModes},
    {1082, ControlKind::DefaultPushButton, "OK", 49, 200, 66, 14},
    {1083, ControlKind::PushButton, "Cancel", 167, 200, 66, 14},
    {1022, ControlKind::Edit, "", 7, 128, 20, 12, kStyleBorder},
    {1023, ControlKind::Label, "Output file:", 7, 128, 20, 12},
    {1024, ControlKind::PushButton, "Browse", 10, 128, 20, 12},
    {1001, ControlKind::DropDownList, "", 7, 132, 20, 60},
    {1002, ControlKind::DropDownList, "", 10, 132, 20, 60},
    {1052, ControlKind::DropDownList, "", 13, 132, 20, 60},
    {1080, ControlKind::Label, "Video compressor:", 16, 132, 20, 12},
    {1081, ControlKind::Label, "Audio compressor:", 19, 132, 20, 12},
    {1077, ControlKind::Label,
     "Note: some video and audio compressors may not work properly. For more detail, please read help.", 7, 136, 20,
     12},
    {1051, ControlKind::PushButton, "Default", 10, 136, 20, 12},
    {1053, ControlKind::PushButton, "Settings", 13, 136, 20, 12},
});

} // namespace

const DialogTemplate& OptionsDialogTemplate()
{
    static const DialogTemplate dialog{kOptionsDialogTemplate, "Output options", "Microsoft Sans Serif", 8, 278, 221, kControls};
    return dialog;
}
