#include "i18n/LanguageKeys.h"

#include "resources/StringIds.h"
#include "resources/TemplateIds.h"

#include <array>

namespace {

constexpr std::array<LanguageKey, 74> kKeys = {{
    {"IDM_ABOUT", 32778, "About"},
    {"IDM_SELECT_LANGUAGE", kPopupMenuTemplate * 65536, "Language"},
    {"IDM_POPUPMENU_FONT", 32781, "Font"},
    {"IDC_BUTTON_ABOUT", 100, "About"},
    {"IDD_PROGRAM_CAPTION", 1085, "Framelift"},
    {"IDD_DIALOG_OUTPUT_OPTIONS", kOptionsDialogTemplate, "Output options"},
    {"IDC_BUTTON_BROWSE", 1024, "Browse"},
    {"IDC_STATIC_OUTPUT_FILE", 1023, "Output file:"},
    {"IDC_STATIC_RESOLUTION", 1026, "Resolution:"},
    {"IDC_STATIC_FRAME_RATE", 1078, "Frame rate:"},
    {"IDC_STATIC_RESIZE_MODE", 1079, "Resize mode:"},
    {"IDC_STATIC_VIDEO_COMPRESSOR", 1080, "Video compressor:"},
    {"IDC_BUTTON_VIDEO_CODEC_SETTINGS", 1053, "Settings"},
    {"IDC_STATIC_AUDIO_COMPRESSOR", 1081, "Audio compressor:"},
    {"IDC_STATIC_OPTIONS_NOTE", 1077,
     "Note: some video and audio compressors may not work properly. For more detail, please read help."},
    {"IDC_BUTTON_OUTPUT_DEAULT", 1051, "Default"},
    {"IDC_BUTTON_OPTIONS_OK", 1082, "OK"},
    {"IDC_BUTTON_OPTIONS_CANCEL", 1083, "Cancel"},
    {"IDC_STATIC_OUTPUT_FORMAT", 1098, "Output Format:"},
    {"IDC_STATIC_OUTPUT_DIRECTORY", 1089, "Output directory:"},
    {"IDC_STATIC_QUALITY_CONTROL", 1091, "JPG Quality:"},
    {"IDC_STATIC_SAMPLE_INTERVAL", 1095, "Sampling interval:"},
    {"IDC_STATIC_QUALITY_MAX", 1094, "1-100, MIN is 1, MAX is 100"},
    {"IDC_STATIC_FRAMES", 1097, "Frames"},
    {"IDC_STATIC_FRAMES_PER_SECOND", 1099, "fps"},
    {"IDC_BUTTON_BROWSE_FOLDER", 1088, "Browse"},
    {"IDC_STATIC_VIDEO_PROCESSING", 1105, "Video processing"},
    {"IDC_CHECK_TONE_MAP_HDR", 1106, "Tone-map HDR"},
    {"IDC_STATIC_DEINTERLACE", 1107, "Deinterlace:"},
    {"IDC_BUTTON_HELP", 1084, "&Help"},
    {"IDC_BUTTON_HOMEPAGE", 1047, "Homepage"},
    {"IDC_BUTTON_ABOUT", 1042, "About"},
    {"IDC_BUTTON_EXIT", 1076, "Exit"},
    {"IDD_PROGRAM_CAPTION", kMainWindowTemplate, "Framelift"},
    {"IDC_BUTTON_ADD_VIDEO", 1006, "Open Video"},
    {"IDC_BUTTON_OUTPUT_SETTINGS", 1003, "Options"},
    {"IDC_BUTTON_CONVERT", 1000, "Convert"},
    {"IDC_BUTTON_PLAY", 1058, "Play"},
    {"IDC_BUTTON_PAUSE", 1060, "Pause"},
    {"IDC_BUTTON_STOP", 1061, "Stop"},
    {"IDC_BUTTON_START_TIME", 1062, "Start Time"},
    {"IDC_BUTTON_END_TIME", 1063, "End Time"},
    {"IDC_BUTTON_OPEN_FOLDER", 1103, "Open Folder"},
    {"IDC_BUTTON_CONVERT", kStringConvert, "Convert"},
    {"IDC_BUTTON_STOP", kStringStop, "Stop"},
    {"IDS_LANGUAGE_IN_ENGLISH", kStringLanguageInEnglish, "English"},
    {"IDS_MESSAGE_OUTPUT_FILE", kStringOutputFile, "Output file:"},
    {"IDS_MESSAGE_RESOLUTION", kStringResolution, "Resolution:"},
    {"IDS_MESSAGE_OPEN_FILE", kStringOpenFile, "Open a video file"},
    {"IDS_MESSAGE_OPTIONS", kStringOptionsTip, "Customize output options"},
    {"IDS_MESSAGE_CONVERT", kStringConvertTip, "Convert video"},
    {"IDS_MESSAGE_NOT_OPEN_FILE", kStringCannotOpenFile,
     "Cannot open the file. You need to install appropriate decoders. Or the file is corrupt."},
    {"IDS_MESSAGE_NO_DURATION", kStringNoDuration, "Can not get the duration of the clip!"},
    {"IDS_MESSAGE_RESTART_PROGRAM", kStringRestart, "Please restart the program"},
    {"IDS_MESSAGE_FILE_EXIST", kStringFileExists, "exists. Do you want to replace it?"},
    {"IDS_MESSAGE_STOP_CONVERT", kStringStopConverting, "Please first stop converting"},
    {"IDS_MESSAGE_CONVERSION_DONE", kStringDone, "Done"},
    {"IDS_MESSAGE_ERROR", kStringError, "Error"},
    {"IDS_MESSAGE_WARNING", kStringWarning, "Warning"},
    {"IDS_MESSAGE_BROWSE_CAPTION", kStringBrowseCaption, "Select Output File Name"},
    {"IDS_MESSAGE_ORIGINAL_SIZE", kStringOriginalSize, "Original size"},
    {"IDS_MESSAGE_CUSTOM_SIZE", kStringCustomSize, "Custom size"},
    {"IDS_MESSAGE_ORIGINAL_FRAME_SIZE", kStringOriginalFrameRate, "Original frame rate"},
    {"IDS_MESSAGE_CUSTOM_FRAME_SIZE", kStringCustomFrameRate, "Custom frame rate"},
    {"IDS_MESSAGE_PRESERVE_ASPECT_RATIO", kStringPreserveAspectRatio, "Preserve aspect ratio"},
    {"IDS_MESSAGE_RESIZE_STRETCH", kStringResizeStretch, "Stretch"},
    {"IDS_MESSAGE_PICTURES_PROGRESS", kStringPicturesProgress, "Pictures: %1 of %2"},
    {"IDS_MESSAGE_TIME_LEFT", kStringTimeLeft, "Time left: %1"},
    {"IDS_MESSAGE_PICTURES_WRITTEN", kStringPicturesWritten, "Pictures written: %1"},
    {"IDS_MESSAGE_OPEN_FOLDER", kStringOpenFolderTip, "Open the output folder"},
    {"IDS_MESSAGE_FOLDER_NOT_OPENED", kStringFolderNotOpened, "The folder %1 could not be opened."},
    {"IDS_MESSAGE_DEINTERLACE_OFF", kStringDeinterlaceOff, "Off"},
    {"IDS_MESSAGE_DEINTERLACE_AUTOMATIC", kStringDeinterlaceAutomatic, "Automatic"},
    {"IDS_MESSAGE_DEINTERLACE_ALWAYS", kStringDeinterlaceAlways, "Always"},
}};

std::string_view FirstBuiltIn(int id, LanguageSection section)
{
    for (const LanguageKey& row : kKeys)
        if (row.id == id && SectionOfKey(row.key) == section)
            return row.builtIn;
    return {};
}

} // namespace

std::span<const LanguageKey> LanguageKeyTable() { return kKeys; }

LanguageSection SectionOfKey(std::string_view key)
{
    const std::string_view prefix = key.substr(0, 3);
    if (prefix == "IDS")
        return LanguageSection::String;
    if (prefix == "IDM" || prefix == "IDR")
        return LanguageSection::Menu;
    if (prefix == "IDD" || prefix == "IDC")
        return LanguageSection::Dialog;
    return LanguageSection::None;
}

std::string_view BuiltInString(int id)
{
    if (id == kStringAboutMenuItem)
        return "&About Framelift";
    // Two string-table ids whose texts come from the dialog rows.
    if (id == kStringStop || id == kStringConvert)
        return FirstBuiltIn(id, LanguageSection::Dialog);
    return FirstBuiltIn(id, LanguageSection::String);
}

std::string_view BuiltInDialogText(int id) { return FirstBuiltIn(id, LanguageSection::Dialog); }
