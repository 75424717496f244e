#include "media/ClipProbe.h"

#include "i18n/LanguagePack.h"
#include "media/MediaTexts.h"
#include "platform/media/ClipMeasure.h"
#include "platform/ui/MessageService.h"
#include "resources/StringIds.h"

namespace {

// The window's text for each measuring step that can fail.
QString FailureText(MeasureFailure failure)
{
    switch (failure) {
    case MeasureFailure::Duration: return MediaTexts::kProbeNoDuration;
    case MeasureFailure::VideoSize: return MediaTexts::kProbeNoVideoSize;
    case MeasureFailure::FrameTime: return MediaTexts::kProbeNoFrameTime;
    case MeasureFailure::None: break;
    }
    return {};
}

void ShowCannotOpen(const ProbeServices& services)
{
    const QString caption =
        services.language.GetString(kStringError) + MediaTexts::kNotOpenFileCaptionSuffix;
    services.messages.Show(nullptr, services.language.GetString(kStringCannotOpenFile), caption);
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
    MeasuredClip clip;
    if (const MeasureFailure failure = MeasureClip(*graph, path.toStdString(), kDefaultFrameRate, clip);
        failure != MeasureFailure::None) {
        services.messages.Show(services.owner, FailureText(failure), MediaTexts::kProbeCaption);
        return false;
    }
    duration = clip.duration;
    facts.videoWidth = settings.outputWidth = clip.width;
    facts.videoHeight = settings.outputHeight = clip.height;
    facts.sourceFrameRate = clip.frameRate;
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
