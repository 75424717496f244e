#include "settings/StatusText.h"

#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "settings/OptionsDialog.h"
#include "settings/PathRules.h"
#include "resources/StringIds.h"
#include "settings/ProfileNames.h"

QString OutputStatusText(const LanguagePack& language, const ConversionSettings& settings, const ClipFacts& clip)
{
    const QString size = clip.videoWidth == 0 && clip.videoHeight == 0
                             ? language.GetString(kStringOriginalSize)
                             : QStringLiteral("%1*%2").arg(settings.outputWidth).arg(settings.outputHeight);
    return QStringLiteral("%1 %2     %3 %4")
        .arg(language.GetString(kStringOutputFile), settings.outputFolder, language.GetString(kStringResolution), size);
}

void TakeOptions(Profile& profile, const OptionsDialog& dialog, ConversionSettings& settings)
{
    settings = dialog.Result();
    const QString stored = WithoutTrailingBackslash(dialog.FolderText());
    profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder, stored);
    settings.outputFolder = WithTrailingBackslash(stored);
}
