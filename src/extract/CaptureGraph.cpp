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
bool AddNullRenderer(EditingServices& services, const ConversionReporter& reporter, FilterGraph& graph,
                     const QString& failureText, const char* name)
{
    GraphFilter renderer;
    if (const MediaResult created = services.CreateNullRenderer(renderer); Failed(created)) {
        reporter.Diagnostic(kCreateFilter, created);
        reporter.Diagnostic(failureText, created);
        return false;
    }
    renderer.name = name;
    if (const MediaResult added = graph.AddFilter(renderer); Failed(added)) {
        reporter.ErrorText(added);
        return false;
    }
    return true;
}

bool PrepareGraph(EditingServices& services, const ConversionReporter& reporter, RenderEngine& engine,
                  Timeline& timeline, CaptureBuild& build)
{
    if (Failed(services.CreateCaptureGraphBuilder(build.builder)) || !build.builder) {
        reporter.Message(kNoBuilder);
        return false;
    }
    if (Failed(engine.GetFilterGraph(build.graph)) || !build.graph)
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
    return AddNullRenderer(services, reporter, *build.graph, kNoVideoNullRenderer, kVideoNullName) &&
           AddNullRenderer(services, reporter, *build.graph, kNoAudioNullRenderer, kAudioNullName);
}

bool ConnectPictureGroup(const ConversionReporter& reporter, RenderEngine& engine, CaptureBuild& build,
                         const CaptureSinks& sinks)
{
    if (Failed(engine.GetGroupOutput(0))) {
        reporter.Message(kNoOutputPin);
        return false;
    }
    if (const MediaResult added = build.graph->AddFilter(GraphFilter{kGrabberName, sinks.grabber}); Failed(added)) {
        reporter.ErrorText(added);
        return false;
    }
    if (const MediaResult rendered = build.builder->RenderStream(GraphConnection{0, kGrabberName, kVideoNullName});
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
        if (Failed(engine.GetGroupOutput(group))) {
            reporter.Message(kNoOutputPin);
            return false;
        }
        if (const MediaResult rendered = build.builder->RenderStream(GraphConnection{group, {}, kAudioNullName});
            Failed(rendered)) {
            reporter.Message(kRenderAudio);
            reporter.ErrorText(rendered);
            return false;
        }
    }
    return true;
}

bool RunGraph(const ConversionReporter& reporter, RenderEngine& engine, CaptureBuild& build, const CaptureSinks& sinks,
              RunningCapture& running)
{
    if (const MediaResult clock = SetNoClock(*build.graph, reporter); Failed(clock)) {
        reporter.Message(kSetNoClockFailed);
        reporter.ErrorText(clock);
    }
    running.control = engine.Control();
    if (!running.control) {
        reporter.Message(kNoControl);
        return false;
    }
    running.events = engine.Events();
    if (!running.events) {
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

MediaResult SetNoClock(FilterGraph& graph, const ConversionReporter& reporter)
{
    const MediaResult set = graph.SetSyncSource(SyncSource::None);
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
    return grabber.GetConnectedMediaType(connected);
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
                         RunGraph(reporter, engine, build, sinks, running);
    if (!started) {
        engine.ScrapIt();
        return std::nullopt;
    }
    return running;
}
