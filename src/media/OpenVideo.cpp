#include "media/OpenVideo.h"

#include "i18n/LanguagePack.h"
#include "media/MediaTexts.h"
#include "media/PlaybackDisplay.h"
#include "platform/profile/Profile.h"
#include "platform/ui/MessageService.h"
#include "resources/StringIds.h"
#include "settings/PathRules.h"
#include "settings/ProfileNames.h"
#include "settings/StatusText.h"

#include <QFileInfo>

namespace {

void ShowNoDuration(const ProbeServices& probe)
{
    const QString text = probe.language.GetString(kStringNoDuration)
                         + probe.language.GetString(kStringCannotOpenFile);
    const QString caption = probe.language.GetString(kStringError) + MediaTexts::kNoDurationCaptionSuffix;
    probe.messages.Show(probe.owner, text, caption);
}

// The clip keeps its whole length, so the default marks take every frame;
// only the boxes count in whole seconds.
void RecordVideoItem(MediaTime probed, ClipState& clip)
{
    clip.itemSeconds = WholeSeconds(probed);
    clip.video.duration = probed;
    clip.facts.videoItemCount = 1;
}

void RecordAudioItem(const OpenVideoServices& services, const QString& path, ClipState& clip)
{
    clip.audio.path = path;
    clip.audio.duration = ProbeAudioDuration(services.probe.createProbe, path);
    clip.audioItemCount = 1;
}

} // namespace

FileChooserRequest OpenVideoChooserRequest(const LanguagePack& language, const Profile& profile)
{
    FileChooserRequest request;
    request.title = language.GetString(kStringOpenFile);
    request.directory = profile.GetText(ProfileNames::kOption, ProfileNames::kLastPhotoFolder, QString());
    request.filters = {{MediaTexts::kAnyFilesLabel, MediaTexts::kAnyFilesPatterns},
                       {MediaTexts::kVideoFilesLabel, MediaTexts::kVideoFilesPatterns}};
    return request;
}

QString QtNameFilter(const FileFilter& filter)
{
    QStringList patterns = filter.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        if (pattern == QStringLiteral("*.*"))
            pattern = QStringLiteral("*");
    }
    return filter.label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QStringList QtNameFilters(const FileChooserRequest& request)
{
    QStringList filters;
    for (const FileFilter& filter : request.filters)
        filters.append(QtNameFilter(filter));
    return filters;
}

std::optional<OpenedClip> OpenVideo(const OpenVideoServices& services, const QString& path, ClipState& clip,
                                    ConversionSettings& settings)
{
    clip.facts.videoItemCount = 0;
    clip.audioItemCount = 0;
    clip.video.path = path;
    MediaTime probed = 0;
    if (!ProbeClip(services.probe, path, probed, clip.facts, settings)) {
        ShowNoDuration(services.probe);
        return std::nullopt;
    }
    RecordVideoItem(probed, clip);
    RecordAudioItem(services, path, clip);
    services.profile.WriteText(ProfileNames::kOption, ProfileNames::kLastPhotoFolder, FolderPart(path));
    clip.markStart = 0;
    clip.markEnd = clip.video.duration;
    ChooseFrameRate(settings, settings.frameRateIndex, settings.frameRate, clip.facts.sourceFrameRate);
    const ClipTexts texts{FormatClockTime(0), FormatPositionText(0, clip.markEnd), FormatClockTime(clip.markEnd)};
    return OpenedClip{texts, OutputStatusText(services.probe.language, settings, clip.facts)};
}

std::optional<QString> DroppedVideoPath(const QList<QUrl>& urls)
{
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return std::nullopt;
    const QString path = urls.first().toLocalFile();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}
