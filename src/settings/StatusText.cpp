#include "settings/StatusText.h"

#include "i18n/LanguagePack.h"

namespace {
constexpr int kStringOutputFile = 115;
constexpr int kStringResolution = 116;
constexpr int kStringOriginalSize = 111;
} // namespace

QString OutputStatusText(const LanguagePack& language, const ConversionSettings& settings, const ClipFacts& clip)
{
    const QString size = clip.videoWidth == 0 && clip.videoHeight == 0
                             ? language.GetString(kStringOriginalSize)
                             : QStringLiteral("%1*%2").arg(settings.outputWidth).arg(settings.outputHeight);
    return QStringLiteral("%1 %2     %3 %4")
        .arg(language.GetString(kStringOutputFile), settings.outputFolder, language.GetString(kStringResolution), size);
}
