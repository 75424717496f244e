#include "settings/StatusText.h"

#include "i18n/LanguagePack.h"
#include "resources/StringIds.h"

QString OutputStatusText(const LanguagePack& language, const ConversionSettings& settings, const ClipFacts& clip)
{
    const QString size = clip.videoWidth == 0 && clip.videoHeight == 0
                             ? language.GetString(kStringOriginalSize)
                             : QStringLiteral("%1*%2").arg(settings.outputWidth).arg(settings.outputHeight);
    return QStringLiteral("%1 %2     %3 %4")
        .arg(language.GetString(kStringOutputFile), settings.outputFolder, language.GetString(kStringResolution), size);
}
