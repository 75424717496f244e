#pragma once

#include "platform/media/EngineGraph.h"
#include "platform/media/RenderEngine.h"

// The render engine of this platform: decoders, scalers and frame-rate
// conversion on FFmpeg, in a graph of its own.
class FfmpegRenderEngine final : public RenderEngine {
public:
    FfmpegRenderEngine() = default;
    ~FfmpegRenderEngine() override;
    FfmpegRenderEngine(const FfmpegRenderEngine&) = delete;
    FfmpegRenderEngine& operator=(const FfmpegRenderEngine&) = delete;

    MediaResult SetTimelineObject(Timeline* timeline) override;
    MediaResult GetTimelineObject(Timeline*& timeline) override;
    MediaResult ConnectFrontEnd() override;
    MediaResult GetFilterGraph(FilterGraph*& graph) override;
    MediaResult GetGroupOutputPin(int group, OutputPin*& pin) override;
    MediaResult ScrapIt() override;

private:
    Timeline* timeline_ = nullptr;
    std::unique_ptr<EngineGraph> graph_;
};

// Connects pins inside an engine graph.
class EngineCaptureGraphBuilder final : public CaptureGraphBuilder {
public:
    EngineCaptureGraphBuilder() = default;
    MediaResult SetFiltergraph(FilterGraph& graph) override;
    MediaResult RenderStream(OutputPin& pin, Filter* intermediate, Filter& renderer) override;

private:
    EngineGraph* graph_ = nullptr;
};
