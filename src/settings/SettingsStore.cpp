#include "settings/SettingsStore.h"

#include "platform/profile/Profile.h"
#include "platform/ui/MessageService.h"
#include "settings/PathRules.h"
#include "settings/ProfileNames.h"

#include <QDir>

namespace {
const QString kNoKnownFolder = QStringLiteral("Can not get My Video directory!");
const QString kErrorCaption = QStringLiteral("Error");
constexpr int kCustomFrameRateIndex = 6;
} // namespace

QString FallbackOutputFile() { return QDir::homePath() + QStringLiteral("/output.avi"); }
QString FallbackPictureFolder() { return QDir::homePath() + QStringLiteral("/framelift"); }

QString ResolveDefaultFolder(SettingsContext& context, const QString& section, const QString& key,
                             const QString& fallback, KnownFolder folderKind)
{
    QString defaultText = fallback;
    if (const auto folder = context.knownFolders.Locate(folderKind))
        defaultText = WithoutTrailingBackslash(*folder) + fallback.mid(fallback.lastIndexOf(u'/'));
    else
        context.messages.Show(context.owner, kNoKnownFolder, kErrorCaption);
    return context.profile.GetText(section, key, defaultText);
}

void LoadOutputFormat(SettingsContext& context, ConversionSettings& settings)
{
    settings.outputFormat = context.profile.GetInt(ProfileNames::kSettings, ProfileNames::kOutputFormat, 0);
}

void LoadOutputFileAndSize(SettingsContext& context, ConversionSettings& settings)
{
    using namespace ProfileNames;
    settings.outputFilePath =
        ResolveDefaultFolder(context, kSettings, kOutputName, FallbackOutputFile(), KnownFolder::Videos);
    settings.outputWidth = context.profile.GetInt(kSettings, kOutputWidth, 0);
    settings.outputHeight = context.profile.GetInt(kSettings, kOutputHeight, 0);
}

void LoadFrameRate(SettingsContext& context, ConversionSettings& settings)
{
    using namespace ProfileNames;
    settings.frameRateIndex = context.profile.GetInt(kSettings, kOutputFrameRateIndex, kOriginalFrameRateIndex);
    if (settings.frameRateIndex == kCustomFrameRateIndex) {
        settings.frameRate = ParseDecimal(context.profile.GetText(kSettings, kOutputFrameRate, QStringLiteral("23.976")));
    } else if (const double preset = PresetFrameRate(settings.frameRateIndex); preset > 0) {
        settings.frameRate = preset;
    } else {
        settings.frameRateIndex = kOriginalFrameRateIndex;
        settings.frameRate = kDefaultFrameRate;
    }
}

void LoadOutputFolder(SettingsContext& context, ConversionSettings& settings)
{
    using namespace ProfileNames;
    settings.outputFolder = WithTrailingBackslash(ResolveDefaultFolder(
        context, kSettings, kOutputPictureFolder, FallbackPictureFolder(), KnownFolder::Pictures));
    EnsureFolder(context.messages, context.owner, settings.outputFolder);
}

void LoadFrameRateAndFolder(SettingsContext& context, ConversionSettings& settings)
{
    LoadFrameRate(context, settings);
    LoadOutputFolder(context, settings);
}

void LoadQualityAndInterval(SettingsContext& context, ConversionSettings& settings)
{
    using namespace ProfileNames;
    settings.jpegQuality = context.profile.GetInt(kSettings, kJpegQuality, 80);
    settings.samplingInterval = context.profile.GetInt(kSettings, kSamplingInterval, 1);
}

void LoadConversionSettings(SettingsContext& context, ConversionSettings& settings)
{
    LoadOutputFormat(context, settings);
    LoadOutputFileAndSize(context, settings);
    LoadFrameRateAndFolder(context, settings);
    LoadQualityAndInterval(context, settings);
}
