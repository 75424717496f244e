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

// The output options as the profile holds them, read in the order start-up
// reads them; a frame-rate choice outside the list is repaired, everything
// else is taken as stored. The output folder is not created.
ConversionSettings ReadConversionSettings(SettingsContext& context);

// ReadConversionSettings, then the output folder is created when it is
// missing; a failure is reported and the folder kept.
ConversionSettings LoadConversionSettings(SettingsContext& context);

// Writes every stored output option, in the order the Options dialog's OK
// has always written them, the output folder last.
void SaveConversionSettings(Profile& profile, const ConversionSettings& settings);

// The fallbacks used when a known folder cannot be determined.
QString FallbackOutputFile();
QString FallbackPictureFolder();
