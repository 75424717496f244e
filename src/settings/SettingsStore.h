#pragma once

#include "platform/shell/KnownFolders.h"
#include "settings/ConversionSettings.h"

class MessageService;
class Profile;
class QWidget;

// What loading the output options needs: where to read, where the known
// folders are, and where to report.
struct SettingsContext {
    Profile& profile;
    KnownFolders& knownFolders;
    MessageService& messages;
    QWidget* owner = nullptr;
};

// The text of section/key whose default lies in a known folder: the folder
// followed by the part of fallback from its last '/'. When the folder cannot
// be determined the message is shown and fallback is the default.
QString ResolveDefaultFolder(SettingsContext& context, const QString& section, const QString& key,
                             const QString& fallback, KnownFolder folderKind);

// The steps of loading, in the order start-up runs them.
void LoadOutputFormat(SettingsContext& context, ConversionSettings& settings);
void LoadOutputFileAndSize(SettingsContext& context, ConversionSettings& settings);
void LoadFrameRateAndFolder(SettingsContext& context, ConversionSettings& settings);
void LoadQualityAndInterval(SettingsContext& context, ConversionSettings& settings);

// The two halves of LoadFrameRateAndFolder. The second creates the folder the
// profile names, so a caller that only reads the profile stops at the first.
void LoadFrameRate(SettingsContext& context, ConversionSettings& settings);
void LoadOutputFolder(SettingsContext& context, ConversionSettings& settings);

// All steps at once, for callers that have nothing to do between them.
void LoadConversionSettings(SettingsContext& context, ConversionSettings& settings);

// The fallbacks used when a known folder cannot be determined.
QString FallbackOutputFile();
QString FallbackPictureFolder();
