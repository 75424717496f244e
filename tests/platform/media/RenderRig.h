#pragma once

#include "platform/media/FrameExtractor.h"
#include "platform/media/MediaTime.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

// Bytes of a recorded row of 24-bit pixels, padded to whole 32-bit words.
inline std::size_t BottomUpStride(int width)
{
    return static_cast<std::size_t>((width * 3 + 3) & ~3);
}

struct CapturedFrame {
    double sampleTime = 0.0;
    std::vector<std::uint8_t> bytes; // bottom-up BGR24, rows padded to 4 bytes
};

// Keeps a copy of every frame the extractor hands over, as bottom-up BGR24: a
// frame asked for as a JPEG's planes is turned into it by the ffmpeg program.
class FrameRecorder final : public FrameSink {
public:
    bool KeepsFrame() override;
    PictureLayout Layout() const override { return layout; }
    std::int64_t FramesBeforeKept(std::int64_t after) const override;
    void SampleCB(double sampleTime, DrawnPicture picture) override;
    std::vector<CapturedFrame> Frames() const;

    int keepEvery = 1; // frames asked for: one in this many
    bool foresees = true; // whether it tells the extractor which frames it keeps
    PictureLayout layout = PictureLayout::Bgr24;
    std::chrono::milliseconds delay{0}; // how long each kept frame holds the stream up
    std::size_t Count() const;

private:
    mutable std::mutex mutex_;
    std::vector<CapturedFrame> frames_;
    int asked_ = 0;
};

struct RenderRequest {
    QString path;
    MediaTime mediaStart = 0;
    MediaTime mediaStop = 0;
    int width = 0;
    int height = 0;
    double fps = 25.0;
    bool keepAspect = false;
    VideoProcessing processing = {};
    PictureLayout layout = PictureLayout::Bgr24;
};

// An extraction on the real libraries, its frames recorded and its end awaited.
class RenderRig final {
public:
    MediaResult Build(const RenderRequest& request);
    void Run();
    // How the run ended, within the time-out; false when it did not.
    bool WaitForEnd(MediaResult& result, std::chrono::milliseconds timeout = std::chrono::seconds(120));
    void Stop() { extractor.Stop(); }

    FrameExtractor extractor;
    FrameRecorder recorder;

private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    std::optional<MediaResult> ended_;
};

// Extracts a whole request and returns the frames; how the run ended in *last.
std::vector<CapturedFrame> RenderFrames(const RenderRequest& request, MediaResult* last = nullptr);

// A frame as top-down RGB24 rows without padding, the ffmpeg program's layout.
QByteArray TopDownRgb(const CapturedFrame& frame, int width, int height);
