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
    const double rate = group_.outputFps;
    const std::int64_t count = OutputFrameCount(TrackEnd(group_.tracks.front()), rate);
    for (std::int64_t k = 0; k < count; ++k) {
        const MediaTime t = OutputFrameTime(k, rate);
        if (stop.load() || !pacer(t))
            return MediaResult::Aborted;
        // Frames nobody looks at are still decoded, so that errors and timing stay the same.
        const bool draw = grabber && grabber->NeedsBuffer();
        if (const MediaResult drawn = DrawFrame(t, draw, stop); Failed(drawn))
            return drawn;
        if (draw)
            grabber->Deliver(static_cast<double>(t) / kMediaUnitsPerSecond, buffer_.data(),
                             static_cast<long>(buffer_.size()));
    }
    return MediaResult::Ok;
}

MediaResult GroupStreamer::DrawFrame(MediaTime t, bool draw, const std::atomic<bool>& stop)
{
    const std::optional<SourcePosition> position = SourceAt(group_.tracks.front(), t);
    if (!position) {
        if (draw)
            std::memset(buffer_.data(), 0, buffer_.size()); // a gap between sources is black
        return MediaResult::Ok;
    }
    SourceReader& reader = *readers_[position->source];
    const AVFrame* picture = nullptr;
    if (const MediaResult found = reader.FrameAt(position->mediaTime, picture, stop); Failed(found) || !draw)
        return found;
    const BitmapInfoHeader& header = group_.mediaType.bmiHeader;
    return scaler_.Draw(*picture, reader.Rotation(), group_.tracks.front().sources[position->source].stretchMode,
                        buffer_.data(), header.biWidth, header.biHeight);
}
