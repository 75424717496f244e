#include "platform/media/FfmpegRenderEngine.h"

#include "platform/media/EditingServices.h"

#include <limits>
#include <utility>

FfmpegRenderEngine::~FfmpegRenderEngine()
{
    ScrapIt();
}

MediaResult FfmpegRenderEngine::SetTimelineObject(const Timeline* timeline)
{
    if (!timeline)
        return MediaResult::Pointer;
    if (graph_)
        return MediaResult::WrongState; // scrap the old graph first
    timeline_ = timeline;
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::ConnectFrontEnd()
{
    if (!timeline_)
        return MediaResult::WrongState;
    if (graph_)
        return MediaResult::Ok; // already built
    const std::vector<TimelineGroupSpec> groups = timeline_->Groups();
    std::vector<MediaType> types;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        types.push_back(groups[g].mediaType);
        if (pictureGroup_ < 0 && groups[g].mediaType.majortype == MajorType::Video)
            if (const MediaResult opened = OpenPictureGroup(static_cast<int>(g), groups[g]); Failed(opened))
                return opened;
    }
    graph_ = std::make_unique<FilterGraph>(std::move(types));
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::OpenPictureGroup(int group, const TimelineGroupSpec& description)
{
    if (description.tracks.size() > 1)
        return MediaResult::NotImplemented; // tracks are not composited on this platform
    readers_.clear();
    if (!description.tracks.empty())
        for (const TimelineSourceSpec& source : description.tracks.front().sources) {
            auto reader = std::make_unique<SourceReader>();
            if (const MediaResult opened = reader->Open(source.mediaName, description.processing.deinterlacing);
                Failed(opened)) {
                readers_.clear();
                return opened;
            }
            readers_.push_back(std::move(reader));
        }
    pictureGroup_ = group;
    picture_ = description;
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::GetFilterGraph(FilterGraph*& graph)
{
    graph = graph_.get();
    return graph_ ? MediaResult::Ok : MediaResult::WrongState;
}

MediaResult FfmpegRenderEngine::GetGroupOutput(int group)
{
    if (!graph_ || !timeline_)
        return MediaResult::WrongState;
    return group >= 0 && static_cast<std::size_t>(group) < timeline_->Groups().size() ? MediaResult::Ok
                                                                                      : MediaResult::InvalidArg;
}

std::int64_t FfmpegRenderEngine::PictureFrameCount() const
{
    if (pictureGroup_ < 0 || picture_.tracks.empty())
        return 0;
    const std::int64_t count = OutputFrameCount(TrackEnd(picture_.tracks.front()), picture_.outputFps);
    std::int64_t shown = 0;
    for (std::int64_t k = 0; k < count; ++k)
        shown += BeforeFirstPicture(PositionOf(k)) ? 0 : 1;
    return shown;
}

std::int64_t FfmpegRenderEngine::FramesDecoded() const
{
    std::int64_t decoded = 0;
    for (const std::unique_ptr<SourceReader>& reader : readers_)
        decoded += reader->FramesDecoded();
    return decoded;
}

MediaResult FfmpegRenderEngine::ScrapIt()
{
    Stop();
    graph_.reset();
    readers_.clear();
    pictureGroup_ = -1;
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::Run()
{
    if (!graph_)
        return MediaResult::WrongState;
    if (thread_.joinable())
        return MediaResult::Ok;
    graph_->Lock(true);
    stop_ = false;
    useClock_ = graph_->Clocked();
    {
        const std::lock_guard lock(mutex_);
        started_ = std::chrono::steady_clock::now();
    }
    SampleGrabber* grabber = graph_->GrabberOf(pictureGroup_);
    if (!grabber || picture_.tracks.empty())
        Post(GraphEvent{EC_COMPLETE, 0, 0}); // nothing to render
    else
        thread_ = std::thread(&FfmpegRenderEngine::Stream, this, grabber);
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::Stop()
{
    stop_ = true;
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    if (graph_)
        graph_->Lock(false);
    return MediaResult::Ok;
}

void FfmpegRenderEngine::Stream(SampleGrabber* grabber)
{
    const MediaResult result = StreamFrames(*grabber);
    if (result == MediaResult::Aborted)
        return; // stopped on request: nobody waits for an event
    Post(Failed(result) ? GraphEvent{EC_ERRORABORT, static_cast<long>(ResultCode(result)), 0}
                        : GraphEvent{EC_COMPLETE, 0, 0});
}

MediaResult FfmpegRenderEngine::StreamFrames(SampleGrabber& grabber)
{
    for (const std::unique_ptr<SourceReader>& reader : readers_)
        reader->Rewind();
    const double rate = picture_.outputFps;
    const std::int64_t count = OutputFrameCount(TrackEnd(picture_.tracks.front()), rate);
    keptAhead_ = {-1};
    for (std::int64_t k = 0; k < count; ++k) {
        if (!WaitUntilDue(OutputFrameTime(k, rate)))
            return MediaResult::Aborted;
        if (const MediaResult rendered = RenderFrame(k, grabber); Failed(rendered))
            return rendered;
    }
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::RenderFrame(std::int64_t k, SampleGrabber& grabber)
{
    const std::optional<SourcePosition> position = PositionOf(k);
    // Before its stream begins (a picture that starts after the sound, a
    // stream cut in the middle of a group of pictures) a source shows
    // nothing: no frame, rather than a copy of its first picture.
    if (BeforeFirstPicture(position))
        return MediaResult::Ok;
    SampleGrabberCallback* callback = grabber.Callback();
    const AVFrame* picture = nullptr;
    if (position) {
        const MediaResult found = readers_[position->source]->FrameBefore(
            position->mediaTime, KeptInstantsOf(position->source, k, callback), picture, stop_);
        if (found != MediaResult::Ok)
            return found;
    }
    if (!callback || !callback->KeepsFrame())
        return MediaResult::Ok;
    DrawnPicture drawn;
    if (const MediaResult result = Draw(picture, position ? position->source : 0, callback->Layout(), drawn);
        Failed(result))
        return result;
    const MediaTime t = OutputFrameTime(k, picture_.outputFps);
    callback->SampleCB(static_cast<double>(t) / kMediaUnitsPerSecond, std::move(drawn));
    return MediaResult::Ok;
}

// The instants of the source at which the next kept output frames are
// taken, from output frame k on, ending with the end of time once no more of
// the source's frames are kept. A frame that a source does not answer for
// (its stream has ended) is not asked about, so a kept frame is then later
// than foreseen: more is decoded, never less.
KeptInstants FfmpegRenderEngine::KeptInstantsOf(std::size_t source, std::int64_t k,
                                                const SampleGrabberCallback* callback)
{
    if (!callback || callback->FramesBeforeKept(0) < 0)
        return {}; // a callback set while streaming may keep any frame
    if (k > keptAhead_.front())
        keptAhead_ = NextKeptFrames(k, *callback);
    KeptInstants instants;
    for (const std::int64_t kept : keptAhead_) {
        const std::optional<SourcePosition> position = PositionOf(kept);
        if (!position || position->source != source) {
            instants.push_back(std::numeric_limits<MediaTime>::max());
            break;
        }
        instants.push_back(position->mediaTime);
    }
    return instants;
}

// The output frames, from k on, that the callback keeps next: as many as
// the decoder reads ahead at most, then the frame count when none is left.
std::vector<std::int64_t> FfmpegRenderEngine::NextKeptFrames(std::int64_t k,
                                                             const SampleGrabberCallback& callback) const
{
    constexpr std::int64_t kForeseen = 8;
    const std::int64_t count = OutputFrameCount(TrackEnd(picture_.tracks.front()), picture_.outputFps);
    std::vector<std::int64_t> kept;
    std::int64_t asked = 0;
    std::int64_t next = callback.FramesBeforeKept(0);
    for (; k < count && static_cast<std::int64_t>(kept.size()) < kForeseen; ++k) {
        if (BeforeFirstPicture(PositionOf(k)))
            continue;
        if (asked++ == next) {
            kept.push_back(k);
            const auto found = static_cast<std::int64_t>(kept.size());
            next = callback.FramesBeforeKept(found);
            if (next < std::numeric_limits<std::int64_t>::max())
                next += found; // the kept frames are asked about too
        }
    }
    if (static_cast<std::int64_t>(kept.size()) < kForeseen)
        kept.push_back(count);
    return kept;
}

std::optional<SourcePosition> FfmpegRenderEngine::PositionOf(std::int64_t k) const
{
    const double rate = picture_.outputFps;
    const MediaTime t = OutputFrameTime(k, rate);
    return SourceAt(picture_.tracks.front(), t, OutputFramePick(k, rate) - t);
}

bool FfmpegRenderEngine::BeforeFirstPicture(const std::optional<SourcePosition>& position) const
{
    return position && position->mediaTime <= readers_[position->source]->FirstPictureTime();
}

MediaResult FfmpegRenderEngine::Draw(const AVFrame* picture, std::size_t source, PictureLayout layout,
                                     DrawnPicture& drawn)
{
    const BitmapInfoHeader& header = picture_.mediaType.bmiHeader;
    if (!picture) {
        // A gap between sources is black.
        drawn = DrawnPicture::Black(layout, header.biWidth, header.biHeight);
        return drawn.Empty() ? MediaResult::OutOfMemory : MediaResult::Ok;
    }
    const int stretchMode = picture_.tracks.front().sources[source].stretchMode;
    return pictures_.Draw(*picture, readers_[source]->Orientation(), stretchMode, picture_.processing.toneMapHdr,
                          layout, header.biWidth, header.biHeight, drawn);
}

// With the reference clock a frame waits for its timeline time; without it
// only a stop request holds streaming up.
bool FfmpegRenderEngine::WaitUntilDue(MediaTime t)
{
    if (!useClock_)
        return !stop_;
    std::unique_lock lock(mutex_);
    const auto due = started_ + std::chrono::microseconds(t / 10);
    wake_.wait_until(lock, due, [this] { return stop_.load(); });
    return !stop_;
}

void FfmpegRenderEngine::Post(GraphEvent event)
{
    GraphNotify notify;
    {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
        notify = notify_;
    }
    if (notify)
        notify();
}

MediaResult FfmpegRenderEngine::SetNotify(GraphNotify notify)
{
    const std::lock_guard lock(mutex_);
    notify_ = std::move(notify);
    return MediaResult::Ok;
}

MediaResult FfmpegRenderEngine::GetEvent(GraphEvent& event)
{
    const std::lock_guard lock(mutex_);
    if (events_.empty())
        return MediaResult::False;
    event = events_.front();
    events_.pop_front();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateTimeline(std::unique_ptr<Timeline>& timeline)
{
    timeline = std::make_unique<Timeline>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateRenderEngine(std::unique_ptr<RenderEngine>& engine)
{
    engine = std::make_unique<FfmpegRenderEngine>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateCaptureGraphBuilder(std::unique_ptr<CaptureGraphBuilder>& builder)
{
    builder = std::make_unique<CaptureGraphBuilder>();
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateNullRenderer(GraphFilter& renderer)
{
    renderer = GraphFilter{};
    return MediaResult::Ok;
}

MediaResult FfmpegEditingServices::CreateSampleGrabber(std::shared_ptr<SampleGrabber>& grabber)
{
    grabber = std::make_shared<SampleGrabber>();
    return MediaResult::Ok;
}
