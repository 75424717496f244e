#pragma once

#include "platform/media/DrawnPicture.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"
#include "platform/media/VideoProcessing.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// What to draw: a stretch of one clip, at a size and rate of its own.
struct ExtractionPlan {
    std::string path;
    MediaTime start = 0; // the stretch of the file, in media units
    MediaTime stop = 0;
    int width = 0;
    int height = 0;
    double fps = 0.0;
    bool keepAspect = true; // black bars rather than a stretched picture
    VideoProcessing processing;
};

// What a plan needs to be drawn, part by part.
bool DrawableSize(int width, int height);
bool DrawableRate(double fps);
bool DrawableStretch(MediaTime start, MediaTime stop);

// Receives the frames of an extraction, one at a time and in order, on its
// streaming thread; the next frame waits until it returns.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Asked once for every frame, before it is drawn: counts the frame and
    // answers whether it is kept. A frame that is not kept is never drawn nor
    // handed over, which saves most of the work when every n-th is wanted.
    virtual bool KeepsFrame() = 0;
    // How many of the frames to come will be asked about and not kept before
    // the kept one that follows `after` other kept ones: the extractor need
    // not decode what only the others show. Negative when the sink cannot
    // tell: every frame is decoded.
    virtual std::int64_t FramesBeforeKept(std::int64_t after) const
    {
        (void)after;
        return -1;
    }
    // The layout its kept frames are drawn in; read before each is drawn.
    virtual PictureLayout Layout() const { return PictureLayout::Bgr24; }
    // A kept frame, drawn once and handed over with its memory. sampleTime
    // is its time from the start of the stretch, in seconds.
    virtual void SampleCB(double sampleTime, DrawnPicture picture) = 0;
};

// Called once on the streaming thread when a run ends by itself: Ok after
// the last frame of the stretch, otherwise why streaming could not go on.
using ExtractionEnded = std::function<void(MediaResult)>;

// Draws every output frame of a plan: one streaming thread reads and decodes
// the clip, picks the picture each output frame shows, draws it through the
// filter chain and hands it to the sink, as fast as decoding allows.
class FrameExtractor final {
public:
    FrameExtractor();
    ~FrameExtractor();
    FrameExtractor(const FrameExtractor&) = delete;
    FrameExtractor& operator=(const FrameExtractor&) = delete;

    // Checks the plan and opens the clip's picture stream.
    MediaResult Open(const ExtractionPlan& plan);
    bool IsOpen() const { return drawing_ != nullptr; }
    // How many frames the sink is asked about: an instant before the clip's
    // first picture has none. Known once open.
    std::int64_t PictureFrameCount() const;
    // Frames the decoder has made; read while stopped.
    std::int64_t FramesDecoded() const;

    // Streams from the first frame on a thread of its own. A plan that was
    // never opened ends at once, with nothing drawn.
    void Start(FrameSink& sink, ExtractionEnded ended);
    // Returns when no frame is being delivered any more; `ended` is not
    // called for a run stopped here.
    void Stop();
    // Stops and lets go of the clip.
    void Close();

private:
    // The open clip and what draws its pictures; FFmpeg is seen only there.
    class Drawing;

    void Stream(FrameSink& sink, const ExtractionEnded& ended);

    std::unique_ptr<Drawing> drawing_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
