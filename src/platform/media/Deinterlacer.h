#pragma once

#include "platform/media/FilterChain.h"
#include "platform/media/MediaTime.h"
#include "platform/media/VideoProcessing.h"

#include <atomic>
#include <deque>

class VideoDecoder;

// The first part of the filter chain, which sees every decoded frame in
// order: a motion-adaptive deinterlacer needs a frame's neighbours. It makes
// one picture per frame, at the frame's own time, so frame choice and counts
// do not depend on it. Progressive streams pass untouched; in Automatic mode
// the deinterlacer starts with the first frame the stream flags interlaced.
class Deinterlacer final {
public:
    Deinterlacer() = default;
    Deinterlacer(const Deinterlacer&) = delete;
    Deinterlacer& operator=(const Deinterlacer&) = delete;

    void SetMode(Deinterlacing mode) { mode_ = mode; }
    // Forgets the frames so far, for a decoder positioned afresh.
    void Reset();
    // The decoder's next frame, deinterlaced when it should be; False after
    // the last one.
    MediaResult Next(VideoDecoder& decoder, AVFrame& frame, MediaTime& time, const std::atomic<bool>& stop);
    // Whether the decoder must make every frame: a deinterlaced picture is
    // made from its frame's neighbours too. In Automatic mode a stream that
    // declares no field order needs them only from its first frame flagged
    // interlaced on.
    bool NeedsEveryFrame(const VideoDecoder& decoder) const;

private:
    struct Ready {
        FrameHandle frame;
        MediaTime time = 0;
    };
    struct Shape {
        int width = 0;
        int height = 0;
        int format = -1;

        bool operator==(const Shape&) const = default;
    };

    bool TakeReady(AVFrame& frame, MediaTime& time);
    MediaResult Take(const VideoDecoder& decoder, MediaTime time);
    bool Wanted(const VideoDecoder& decoder, const AVFrame& frame) const;
    MediaResult Start(const VideoDecoder& decoder, const AVFrame& frame);
    MediaResult Collect();
    MediaResult Drain();

    Deinterlacing mode_ = Deinterlacing::Automatic;
    FilterChain chain_;
    Shape shape_;                  // of the frames the chain was built for
    std::deque<MediaTime> inside_; // times of the frames in the chain, oldest first
    std::deque<Ready> ready_;      // pictures to hand out, in order
    FrameHandle incoming_{av_frame_alloc()};
    bool ended_ = false;
    bool started_ = false; // since the last Reset
};
