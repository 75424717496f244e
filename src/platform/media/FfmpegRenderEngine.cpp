#include "platform/media/FfmpegRenderEngine.h"

#include "platform/media/EditingServices.h"
#include "platform/media/TimelineModel.h"

FfmpegRenderEngine::~FfmpegRenderEngine()
{
    ScrapIt();
}

MediaResult FfmpegRenderEngine::SetTimelineObject(Timeline* timeline)
{
    if (!timeline)
        return MediaResult::Pointer;
    if (graph_)
        return MediaResult::WrongState; // scrap the old graph first
    timeline_ = timeline;
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::GetTimelineObject(Timeline*& timeline)
{
    timeline = timeline_;
    return timeline_ ? MediaResult::Ok : MediaResult::WrongState;
}

MediaResult FfmpegRenderEngine::ConnectFrontEnd()
{
    if (!timeline_)
        return MediaResult::WrongState;
    if (graph_)
        return MediaResult::Ok; // already built
    std::vector<EngineGraph::Group> groups;
    for (const TimelineGroupSpec& description : timeline_->Groups()) {
        EngineGraph::Group& group = groups.emplace_back();
        group.mediaType = description.mediaType;
        if (description.mediaType.majortype != MajorType::Video)
            continue;
        group.streamer = std::make_unique<GroupStreamer>();
        if (const MediaResult opened = group.streamer->Open(description); Failed(opened))
            return opened;
    }
    graph_ = std::make_unique<EngineGraph>(std::move(groups));
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::GetFilterGraph(FilterGraph*& graph)
{
    graph = graph_.get();
    return graph_ ? MediaResult::Ok : MediaResult::WrongState;
}

MediaResult FfmpegRenderEngine::GetGroupOutputPin(int group, OutputPin*& pin)
{
    pin = graph_ ? graph_->Pin(group) : nullptr;
    if (!graph_)
        return MediaResult::WrongState;
    return pin ? MediaResult::Ok : MediaResult::InvalidArg;
}

MediaResult FfmpegRenderEngine::ScrapIt()
{
    graph_.reset();
    return MediaResult::Ok;
}

MediaResult EngineCaptureGraphBuilder::SetFiltergraph(FilterGraph& graph)
{
    graph_ = dynamic_cast<EngineGraph*>(&graph);
    return graph_ ? MediaResult::Ok : MediaResult::NoInterface;
}

MediaResult EngineCaptureGraphBuilder::RenderStream(OutputPin& pin, Filter* intermediate, Filter& renderer)
{
    if (!graph_)
        return MediaResult::WrongState;
    return graph_->Connect(pin, intermediate, renderer);
}

MediaResult FfmpegEditingServices::CreateTimeline(std::unique_ptr<Timeline>& timeline)
{
    timeline = std::make_unique<TimelineModel>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateRenderEngine(std::unique_ptr<RenderEngine>& engine)
{
    engine = std::make_unique<FfmpegRenderEngine>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>& builder)
{
    builder = std::make_unique<EngineCaptureGraphBuilder>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateNullRenderer(std::shared_ptr<Filter>& renderer)
{
    renderer = std::make_shared<NullRendererFilter>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateSampleGrabber(std::shared_ptr<SampleGrabber>& grabber)
{
    grabber = std::make_shared<EngineSampleGrabber>();
    return MediaResult::Ok;
}
