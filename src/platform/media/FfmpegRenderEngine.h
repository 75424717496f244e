#pragma once

#include "platform/media/FrameSchedule.h"
#include "platform/media/PictureChain.h"
#include "platform/media/RenderEngine.h"
#include "platform/media/VideoDecoder.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// The render engine of this platform, on FFmpeg: one streaming thread reads
// and decodes the sources of the picture group, picks the source frame each
// output frame shows, draws it through the filter chain and hands it to the
// grabber's callback. Sound
// groups get an output in the graph but are never decoded.
class FfmpegRenderEngine final : public RenderEngine, public MediaControl, public MediaEventSource {
public:
    FfmpegRenderEngine() = default;
    ~FfmpegRenderEngine() override;
    FfmpegRenderEngine(const FfmpegRenderEngine&) = delete;
    FfmpegRenderEngine& operator=(const FfmpegRenderEngine&) = delete;

    MediaResult SetTimelineObject(const Timeline* timeline) override;
    MediaResult ConnectFrontEnd() override;
    MediaResult GetFilterGraph(FilterGraph*& graph) override;
    MediaResult GetGroupOutput(int group) override;
    std::int64_t PictureFrameCount() const override;
    MediaControl* Control() override { return this; }
    MediaEventSource* Events() override { return this; }
    MediaResult ScrapIt() override;
    // Frames the sources' decoders have made; read while the graph is stopped.
    std::int64_t FramesDecoded() const;

    MediaResult Run() override;
    MediaResult Stop() override;
    MediaResult SetNotify(GraphNotify notify) override;
    MediaResult GetEvent(GraphEvent& event) override;

private:
    MediaResult OpenPictureGroup(int group, const TimelineGroupSpec& description);
    void Stream(SampleGrabber* grabber);
    MediaResult StreamFrames(SampleGrabber& grabber);
    // Decodes up to the picture output frame k shows and, when the callback
    // keeps it, draws it and hands it over.
    MediaResult RenderFrame(std::int64_t k, SampleGrabber& grabber);
    KeptInstants KeptInstantsOf(std::size_t source, std::int64_t k, const SampleGrabberCallback* callback);
    std::vector<std::int64_t> NextKeptFrames(std::int64_t k, const SampleGrabberCallback& callback) const;
    // The source and file instant whose picture output frame k shows; none in a gap between sources.
    std::optional<SourcePosition> PositionOf(std::int64_t k) const;
    // Whether that instant lies at or before the first picture of its source.
    bool BeforeFirstPicture(const std::optional<SourcePosition>& position) const;
    // Draws a source's picture, or black for none, in the layout the callback takes.
    MediaResult Draw(const AVFrame* picture, std::size_t source, PictureLayout layout, DrawnPicture& drawn);
    bool WaitUntilDue(MediaTime t);
    void Post(GraphEvent event);

    const Timeline* timeline_ = nullptr;
    std::unique_ptr<FilterGraph> graph_;

    // The picture group: the first video group of the timeline.
    int pictureGroup_ = -1;
    TimelineGroupSpec picture_;
    std::vector<std::unique_ptr<SourceReader>> readers_; // one per source of its track
    PictureChain pictures_;
    std::vector<std::int64_t> keptAhead_{-1}; // output frames the callback keeps next, as foreseen

    // Streaming state; the mutex guards the clock start and the events.
    std::atomic<bool> stop_{false};
    std::thread thread_;
    bool useClock_ = true;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::steady_clock::time_point started_;
    std::deque<GraphEvent> events_;
    GraphNotify notify_;
};
