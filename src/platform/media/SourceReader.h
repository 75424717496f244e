#pragma once

#include "platform/media/Timeline.h"
#include "platform/media/VideoDecoder.h"

// The pictures of one timeline source, asked for at media times that never
// decrease.
class SourceReader final {
public:
    SourceReader() = default;
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    MediaResult Open(const std::string& path);
    // The next call positions the decoder afresh.
    void Rewind();
    // The last frame that starts before t, or the first one when t lies
    // before it. False, with no frame, once t lies past the end of the last
    // frame: the picture stream has ended. EndOfData instead when the file
    // was cut short.
    MediaResult FrameBefore(MediaTime t, const AVFrame*& frame, const std::atomic<bool>& stop);

    int Rotation() const { return rotation_; }

private:
    MediaResult Fetch(FrameHandle& frame, MediaTime& time, const std::atomic<bool>& stop);
    MediaResult AdvanceTo(MediaTime t, const std::atomic<bool>& stop);
    MediaTime CurrentEnd() const;

    VideoDecoder decoder_;
    int rotation_ = 0;
    bool positioned_ = false;
    bool ended_ = false;
    FrameHandle current_{av_frame_alloc()};
    FrameHandle next_{av_frame_alloc()};
    MediaTime currentTime_ = 0;
    MediaTime nextTime_ = 0;
    bool hasCurrent_ = false;
    bool hasNext_ = false;
};
