#include "platform/media/GroupStreamer.h"

#include "platform/media/FrameSchedule.h"

#include <cstring>

MediaResult GroupStreamer::Open(const TimelineGroupSpec& group)
{
    if (group.tracks.size() > 1)
        return MediaResult::NotImplemented; // tracks are not composited on this platform
    group_ = group;
    readers_.clear();
    if (group.tracks.empty())
        return MediaResult::Ok;
    for (const TimelineSourceSpec& source : group.tracks.front().sources) {
        auto reader = std::make_unique<SourceReader>();
        if (const MediaResult opened = reader->Open(source.mediaName); Failed(opened))
            return opened;
        readers_.push_back(std::move(reader));
    }
    buffer_.assign(group.mediaType.bmiHeader.biSizeImage, 0);
    return MediaResult::Ok;
}

MediaResult GroupStreamer::Stream(EngineSampleGrabber* grabber, const Pacer& pacer, const std::atomic<bool>& stop)
{
    if (group_.tracks.empty())
        return MediaResult::Ok;
    for (const std::unique_ptr<SourceReader>& reader : readers_)
        reader->Rewind();
    const std::int64_t count = OutputFrameCount(TrackEnd(group_.tracks.front()), group_.outputFps);
    for (std::int64_t k = 0; k < count; ++k) {
        if (stop.load() || !pacer(OutputFrameTime(k, group_.outputFps)))
            return MediaResult::Aborted;
        if (const MediaResult rendered = RenderFrame(k, grabber, stop); Failed(rendered))
            return rendered;
    }
    return MediaResult::Ok;
}

MediaResult GroupStreamer::RenderFrame(std::int64_t k, EngineSampleGrabber* grabber, const std::atomic<bool>& stop)
{
    const double rate = group_.outputFps;
    const MediaTime t = OutputFrameTime(k, rate);
    const std::optional<SourcePosition> position =
        SourceAt(group_.tracks.front(), t, OutputFramePick(k, rate) - t);
    const AVFrame* picture = nullptr;
    if (position) {
        // Frames nobody looks at are still decoded, so that errors and timing stay the same.
        const MediaResult found = readers_[position->source]->FrameBefore(position->mediaTime, picture, stop);
        if (found != MediaResult::Ok)
            return found;
    }
    if (!grabber || !grabber->NeedsBuffer())
        return MediaResult::Ok;
    if (const MediaResult drawn = Draw(picture, position ? position->source : 0); Failed(drawn))
        return drawn;
    grabber->Deliver(static_cast<double>(t) / kMediaUnitsPerSecond, buffer_.data(), static_cast<long>(buffer_.size()));
    return MediaResult::Ok;
}

MediaResult GroupStreamer::Draw(const AVFrame* picture, std::size_t source)
{
    if (!picture) {
        std::memset(buffer_.data(), 0, buffer_.size()); // a gap between sources is black
        return MediaResult::Ok;
    }
    const BitmapInfoHeader& header = group_.mediaType.bmiHeader;
    return scaler_.Draw(*picture, readers_[source]->Rotation(), group_.tracks.front().sources[source].stretchMode,
                        buffer_.data(), header.biWidth, header.biHeight);
}
