#include "extract/CaptureGraph.h"

#include "extract/ConversionMessages.h"
#include "extract/ConversionReporter.h"
#include "platform/media/EditingServices.h"

namespace {

using namespace ConversionMessages;

// The objects one build creates; what it does not hand on is let go when it returns.
struct CaptureBuild {
    std::unique_ptr<CaptureGraphBuilder> builder;
    FilterGraph* graph = nullptr;
    std::shared_ptr<Filter> videoRenderer;
    std::shared_ptr<Filter> audioRenderer;
};

std::unique_ptr<RenderEngine> CreateEngine(EditingServices& services, const ConversionReporter& reporter,
                                           Timeline& timeline)
{
    std::unique_ptr<RenderEngine> engine;
    if (Failed(services.CreateRenderEngine(engine)) || !engine) {
        reporter.MessageWithCaption(kNoRenderEngine, kError);
        return nullptr;
    }
    if (Failed(engine->SetTimelineObject(&timeline))) {
        reporter.Message(kSetTimelineObject);
        return nullptr;
    }
    if (Failed(engine->ConnectFrontEnd())) {
        reporter.Message(kConnectFrontEnd);
        return nullptr;
    }
    return engine;
}

// A null renderer in the graph under name; creation failures are diagnostic.
std::shared_ptr<Filter> AddNullRenderer(EditingServices& services, const ConversionReporter& reporter,
                                        FilterGraph& graph, const QString& failureText, const char* name)
{
    std::shared_ptr<Filter> renderer;
    const MediaResult created = services.CreateNullRenderer(renderer);
    if (Failed(created) || !renderer) {
        reporter.Diagnostic(kCreateFilter, Failed(created) ? created : MediaResult::Pointer);
        reporter.Diagnostic(failureText, Failed(created) ? created : MediaResult::Pointer);
        return nullptr;
    }
    if (const MediaResult added = graph.AddFilter(renderer, name); Failed(added)) {
        reporter.ErrorText(added);
        return nullptr;
    }
    return renderer;
}

bool PrepareGraph(EditingServices& services, const ConversionReporter& reporter, RenderEngine& engine,
                  Timeline& timeline, CaptureBuild& build)
{
    if (Failed(services.CreateCaptureGraphBuilder(build.builder)) || !build.builder) {
        reporter.Message(kNoBuilder);
        return false;
    }
    Timeline* engineTimeline = nullptr;
    if (Failed(engine.GetTimelineObject(engineTimeline)) || Failed(engine.GetFilterGraph(build.graph)) || !build.graph)
        return false;
    int groups = 0;
    if (Failed(timeline.GetGroupCount(groups)) || groups == 0) {
        reporter.Message(kNoGroups);
        return false;
    }
    if (Failed(build.builder->SetFiltergraph(*build.graph))) {
        reporter.Message(kSetFiltergraph);
        return false;
    }
    build.videoRenderer = AddNullRenderer(services, reporter, *build.graph, kNoVideoNullRenderer, kVideoNullName);
    if (!build.videoRenderer)
        return false;
    build.audioRenderer = AddNullRenderer(services, reporter, *build.graph, kNoAudioNullRenderer, kAudioNullName);
    return build.audioRenderer != nullptr;
}

bool ConnectPictureGroup(const ConversionReporter& reporter, RenderEngine& engine, CaptureBuild& build,
                         const CaptureSinks& sinks)
{
    OutputPin* pin = nullptr;
    if (Failed(engine.GetGroupOutputPin(0, pin)) || !pin) {
        reporter.Message(kNoOutputPin);
        return false;
    }
    if (const MediaResult added = build.graph->AddFilter(sinks.grabber, kGrabberName); Failed(added)) {
        reporter.ErrorText(added);
        return false;
    }
    if (const MediaResult rendered = build.builder->RenderStream(*pin, sinks.grabber.get(), *build.videoRenderer);
        Failed(rendered)) {
        reporter.Message(kRenderVideo);
        reporter.ErrorText(rendered);
        return false;
    }
    if (const MediaResult connected = SetGrabberCallbackFunction(reporter, sinks); Failed(connected)) {
        reporter.Message(kSetCallbackFailed);
        reporter.ErrorText(connected);
        return false;
    }
    return true;
}

bool ConnectSoundGroups(const ConversionReporter& reporter, RenderEngine& engine, Timeline& timeline,
                        CaptureBuild& build)
{
    int groups = 0;
    timeline.GetGroupCount(groups);
    for (int group = 1; group < groups; ++group) {
        OutputPin* pin = nullptr;
        if (Failed(engine.GetGroupOutputPin(group, pin)) || !pin) {
            reporter.Message(kNoOutputPin);
            return false;
        }
        if (const MediaResult rendered = build.builder->RenderStream(*pin, nullptr, *build.audioRenderer);
            Failed(rendered)) {
            reporter.Message(kRenderAudio);
            reporter.ErrorText(rendered);
            return false;
        }
    }
    return true;
}

bool RunGraph(const ConversionReporter& reporter, CaptureBuild& build, const CaptureSinks& sinks,
              RunningCapture& running)
{
    if (const MediaResult clock = SetNoClock(build.graph, reporter); Failed(clock)) {
        reporter.Message(kSetNoClockFailed);
        reporter.ErrorText(clock);
    }
    if (Failed(build.graph->QueryMediaControl(running.control)) || !running.control) {
        reporter.Message(kNoControl);
        return false;
    }
    if (Failed(build.graph->QueryMediaEvent(running.events)) || !running.events) {
        reporter.Message(kNoEvent);
        return false;
    }
    if (Failed(running.events->SetNotify(sinks.notify))) {
        reporter.Message(kNoNotify);
        return false;
    }
    if (const MediaResult run = running.control->Run(); Failed(run)) {
        running.events->SetNotify({});
        reporter.Message(kRunFailed);
        reporter.ErrorText(run);
        return false;
    }
    return true;
}

} // namespace

MediaResult SetNoClock(FilterGraph* graph, const ConversionReporter& reporter)
{
    if (!graph)
        return MediaResult::Pointer;
    MediaFilter* filter = nullptr;
    if (const MediaResult query = graph->QueryMediaFilter(filter); Failed(query) || !filter) {
        reporter.Diagnostic(kNoClockQuery, Failed(query) ? query : MediaResult::NoInterface);
        return Failed(query) ? query : MediaResult::NoInterface;
    }
    const MediaResult set = filter->SetSyncSource(SyncSource::None);
    if (Failed(set))
        reporter.Diagnostic(kNoClockSet, set);
    return set;
}

MediaResult SetGrabberCallbackFunction(const ConversionReporter& reporter, const CaptureSinks& sinks)
{
    SampleGrabber& grabber = *sinks.grabber;
    const auto diagnosed = [&](const QString& text, MediaResult result) {
        reporter.Diagnostic(text, result);
        return result;
    };
    if (const MediaResult result = grabber.SetCallback(sinks.callback); Failed(result))
        return diagnosed(kSetCallback, result);
    if (const MediaResult result = grabber.SetOneShot(false); Failed(result))
        return diagnosed(kSetOneShot, result);
    if (const MediaResult result = grabber.SetBufferSamples(false); Failed(result))
        return diagnosed(kSetBufferSamples, result);
    MediaType connected;
    const MediaResult result = grabber.GetConnectedMediaType(connected);
    if (Succeeded(result) && sinks.recordFrameSize)
        sinks.recordFrameSize(connected.bmiHeader.biWidth, connected.bmiHeader.biHeight);
    return result;
}

std::optional<RunningCapture> StartCapture(EditingServices& services, const ConversionReporter& reporter,
                                           Timeline& timeline, const CaptureSinks& sinks)
{
    RunningCapture running;
    running.renderEngine = CreateEngine(services, reporter, timeline);
    if (!running.renderEngine)
        return std::nullopt;
    CaptureBuild build;
    RenderEngine& engine = *running.renderEngine;
    const bool started = PrepareGraph(services, reporter, engine, timeline, build) &&
                         ConnectPictureGroup(reporter, engine, build, sinks) &&
                         ConnectSoundGroups(reporter, engine, timeline, build) &&
                         RunGraph(reporter, build, sinks, running);
    if (!started) {
        engine.ScrapIt();
        return std::nullopt;
    }
    return running;
}
