#pragma once

#include "platform/media/EngineFilters.h"
#include "platform/media/FrameScaler.h"
#include "platform/media/SourceReader.h"

#include <functional>
#include <memory>
#include <vector>

// Renders the frames of one video group, in order, into a frame buffer and
// hands each to the grabber when one is connected.
class GroupStreamer final {
public:
    // Waits until a timeline time is due; false when streaming must stop.
    using Pacer = std::function<bool(MediaTime)>;

    // Opens every source of the group's (single) track; the failure's code.
    MediaResult Open(const TimelineGroupSpec& group);
    GroupStreamer() = default;
    GroupStreamer(const GroupStreamer&) = delete;
    GroupStreamer& operator=(const GroupStreamer&) = delete;

    // From frame 0 to the last; Ok at the end, Aborted when stopped.
    MediaResult Stream(EngineSampleGrabber* grabber, const Pacer& pacer, const std::atomic<bool>& stop);

private:
    // Decodes up to the picture output frame k shows and, when the grabber
    // wants it, draws it and hands it over. False when the frame has no
    // picture: its source's picture stream has ended.
    MediaResult RenderFrame(std::int64_t k, EngineSampleGrabber* grabber, const std::atomic<bool>& stop);
    // Draws a source's picture, or black for none, into the frame buffer.
    MediaResult Draw(const AVFrame* picture, std::size_t source);

    TimelineGroupSpec group_;
    std::vector<std::unique_ptr<SourceReader>> readers_;
    FrameScaler scaler_;
    std::vector<std::uint8_t> buffer_;
};
