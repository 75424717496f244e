#pragma once

#include "platform/media/FilterGraph.h"
#include "platform/media/RenderEngine.h"
#include "platform/media/Timeline.h"

#include <memory>

// Creates the objects of a conversion; a fake can fail any creation.
class EditingServices {
public:
    virtual ~EditingServices() = default;
    virtual MediaResult CreateTimeline(std::unique_ptr<Timeline>& timeline) = 0;
    virtual MediaResult CreateRenderEngine(std::unique_ptr<RenderEngine>& engine) = 0;
    virtual MediaResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>& builder) = 0;
    // A null renderer, still to be named and added to a graph.
    virtual MediaResult CreateNullRenderer(GraphFilter& renderer) = 0;
    virtual MediaResult CreateSampleGrabber(std::shared_ptr<SampleGrabber>& grabber) = 0;
};

// The services of this platform, on FFmpeg.
class FfmpegEditingServices final : public EditingServices {
public:
    FfmpegEditingServices() = default;
    MediaResult CreateTimeline(std::unique_ptr<Timeline>& timeline) override;
    MediaResult CreateRenderEngine(std::unique_ptr<RenderEngine>& engine) override;
    MediaResult CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>& builder) override;
    MediaResult CreateNullRenderer(GraphFilter& renderer) override;
    MediaResult CreateSampleGrabber(std::shared_ptr<SampleGrabber>& grabber) override;
};
