#include "settings/SettingsStore.h"

#include "platform/profile/Profile.h"
#include "platform/ui/MessageService.h"
#include "settings/PathRules.h"
#include "settings/ProfileNames.h"

#include <QDir>
#include <QLocale>

using namespace ProfileNames;

namespace {
const QString kNoKnownFolder = QStringLiteral("Can not get My Video directory!");
const QString kErrorCaption = QStringLiteral("Error");
const QString kDefaultFrameRateText = QStringLiteral("23.976");
// No compressor is ever chosen; older readers of the profile still expect the value.
constexpr int kNoCompressor = -1;

void ReadFrameRate(const Profile& profile, ConversionSettings& settings)
{
    const int index = profile.GetInt(kSettings, kOutputFrameRateIndex, kOriginalFrameRateIndex);
    const double custom =
        index == kCustomFrameRateIndex ? ParseDecimal(profile.GetText(kSettings, kOutputFrameRate, kDefaultFrameRateText))
                                       : 0.0;
    // No clip is open yet: the original rate stands at the default until one is.
    ChooseFrameRate(settings, index, custom, kDefaultFrameRate);
}

// A mode no build stored falls back to the default.
int ReadDeinterlaceMode(const Profile& profile)
{
    const int mode = profile.GetInt(kSettings, kDeinterlaceMode, kDeinterlaceAutomatic);
    return mode >= kDeinterlaceOff && mode <= kDeinterlaceAlways ? mode : kDeinterlaceAutomatic;
}

// The shortest text that reads back as the same number.
QString FrameRateText(const ConversionSettings& settings)
{
    if (settings.frameRateIndex == kOriginalFrameRateIndex)
        return kDefaultFrameRateText;
    return QString::number(settings.frameRate, 'g', QLocale::FloatingPointShortest);
}
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

ConversionSettings ReadConversionSettings(SettingsContext& context)
{
    const Profile& profile = context.profile;
    ConversionSettings settings;
    settings.outputFormat = profile.GetInt(kSettings, kOutputFormat, kFormatBmp);
    settings.outputFilePath =
        ResolveDefaultFolder(context, kSettings, kOutputName, FallbackOutputFile(), KnownFolder::Videos);
    settings.outputWidth = profile.GetInt(kSettings, kOutputWidth, 0);
    settings.outputHeight = profile.GetInt(kSettings, kOutputHeight, 0);
    ReadFrameRate(profile, settings);
    settings.outputFolder = WithTrailingBackslash(ResolveDefaultFolder(
        context, kSettings, kOutputPictureFolder, FallbackPictureFolder(), KnownFolder::Pictures));
    settings.jpegQuality = profile.GetInt(kSettings, kJpegQuality, 80);
    settings.samplingInterval = profile.GetInt(kSettings, kSamplingInterval, 1);
    settings.toneMapHdr = profile.GetInt(kSettings, kToneMapHdr, 1) != 0;
    settings.deinterlaceMode = ReadDeinterlaceMode(profile);
    return settings;
}

ConversionSettings LoadConversionSettings(SettingsContext& context)
{
    ConversionSettings settings = ReadConversionSettings(context);
    EnsureFolder(context.messages, context.owner, settings.outputFolder);
    return settings;
}

void SaveConversionSettings(Profile& profile, const ConversionSettings& settings)
{
    profile.WriteInt(kSettings, kOutputFrameRateIndex, settings.frameRateIndex);
    profile.WriteText(kSettings, kOutputFrameRate, FrameRateText(settings));
    profile.WriteText(kSettings, kOutputName, settings.outputFilePath);
    profile.WriteInt(kSettings, kOutputWidth, settings.outputWidth);
    profile.WriteInt(kSettings, kOutputHeight, settings.outputHeight);
    profile.WriteInt(kVideoCompress, kCompressorNumber, kNoCompressor);
    profile.WriteInt(kAudioCompress, kCompressorNumber, kNoCompressor);
    profile.WriteInt(kSettings, kOutputFormat, settings.outputFormat);
    profile.WriteInt(kSettings, kJpegQuality, settings.jpegQuality);
    profile.WriteInt(kSettings, kSamplingInterval, settings.samplingInterval);
    profile.WriteInt(kSettings, kToneMapHdr, settings.toneMapHdr ? 1 : 0);
    profile.WriteInt(kSettings, kDeinterlaceMode, settings.deinterlaceMode);
    profile.WriteText(kSettings, kOutputPictureFolder, WithoutTrailingBackslash(settings.outputFolder));
}
