#include "media/ClipProbe.h"

#include "i18n/LanguagePack.h"
#include "media/MediaTexts.h"
#include "platform/ui/MessageService.h"
#include "resources/StringIds.h"

namespace {

struct ProbedClip {
    MediaTime duration = 0;
    int width = 0;
    int height = 0;
    double secondsPerFrame = 0.0;
};

// Animated pictures state a duration but no stop position.
bool IsGif(const QString& path)
{
    return path.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive);
}

MediaResult ReadDuration(ProbeGraph& graph, const QString& path, MediaTime& duration)
{
    return IsGif(path) ? graph.GetDuration(duration) : graph.GetStopPosition(duration);
}

// Runs the measuring steps after the file is rendered; returns the text of
// the first that fails, or an empty text. A file without video has no size.
QString Measure(ProbeGraph& graph, const QString& path, ProbedClip& clip)
{
    if (Failed(ReadDuration(graph, path, clip.duration)))
        return MediaTexts::kProbeNoDuration;
    if (Failed(graph.GetVideoSize(clip.width, clip.height)))
        return MediaTexts::kProbeNoVideoSize;
    if (Failed(graph.GetAvgTimePerFrame(clip.secondsPerFrame)))
        return MediaTexts::kProbeNoFrameTime;
    return {};
}

void ShowCannotOpen(const ProbeServices& services)
{
    const QString caption =
        services.language.GetString(kStringError) + MediaTexts::kNotOpenFileCaptionSuffix;
    services.messages.Show(nullptr, services.language.GetString(kStringCannotOpenFile), caption);
}

// A file that states no frame time keeps the default rate rather than an
// infinite one.
double FrameRate(double secondsPerFrame)
{
    if (!(secondsPerFrame > 0.0))
        return kDefaultFrameRate;
    return static_cast<double>(kMediaUnitsPerSecond) / secondsPerFrame * 0.0000001;
}

} // namespace

bool ProbeClip(const ProbeServices& services, const QString& path, MediaTime& duration, ClipFacts& facts,
               ConversionSettings& settings)
{
    const std::unique_ptr<ProbeGraph> graph = services.createProbe ? services.createProbe() : nullptr;
    if (!graph) {
        services.messages.Show(services.owner, MediaTexts::kProbeCreateFailed, MediaTexts::kProbeCaption);
        return false;
    }
    if (Failed(graph->RenderFile(path.toStdString()))) {
        ShowCannotOpen(services);
        return false;
    }
    ProbedClip clip;
    const QString failure = Measure(*graph, path, clip);
    if (!failure.isEmpty()) {
        services.messages.Show(services.owner, failure, MediaTexts::kProbeCaption);
        return false;
    }
    duration = clip.duration;
    facts.videoWidth = settings.outputWidth = clip.width;
    facts.videoHeight = settings.outputHeight = clip.height;
    facts.sourceFrameRate = FrameRate(clip.secondsPerFrame);
    return true;
}

MediaTime ProbeAudioDuration(const ProbeGraphFactory& createProbe, const QString& path)
{
    const std::unique_ptr<ProbeGraph> graph = createProbe ? createProbe() : nullptr;
    if (!graph)
        return 0;
    MediaTime stop = 0;
    if (Failed(graph->RenderFile(path.toStdString())) || Failed(graph->GetStopPosition(stop)))
        return -1;
    return stop;
}
