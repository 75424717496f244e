#pragma once

#include "platform/media/EditingServices.h"
#include "platform/media/MediaTime.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

struct CapturedFrame {
    double sampleTime = 0.0;
    std::vector<std::uint8_t> bytes; // bottom-up BGR24, rows padded to 4 bytes
};

// Keeps a copy of every frame the grabber hands over, as bottom-up BGR24: a
// frame asked for as a JPEG's planes is turned into it by the ffmpeg program.
class FrameRecorder final : public SampleGrabberCallback {
public:
    bool KeepsFrame() override;
    PictureLayout Layout() const override { return layout; }
    std::int64_t FramesBeforeKept(std::int64_t after) const override;
    void SampleCB(double sampleTime, DrawnPicture picture) override;
    std::vector<CapturedFrame> Frames() const;

    int keepEvery = 1; // frames asked for: one in this many
    bool foresees = true; // whether it tells the engine which frames it keeps
    PictureLayout layout = PictureLayout::Bgr24;
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
    int stretchMode = RESIZEF_STRETCH;
    bool withSound = true; // a second group for the clip's sound, as a conversion has
    QString soundPath = {}; // the sound group's file; empty: the clip itself
    VideoProcessing processing = {};
    PictureLayout layout = PictureLayout::Bgr24;
};

// A conversion's graph on the real services, wired the way the program wires
// it: video through the grabber into one null renderer, sound into another,
// no clock.
class RenderRig final {
public:
    RenderRig();
    ~RenderRig();

    MediaResult Build(const RenderRequest& request, bool withClock = false);
    MediaResult Run();
    // The first event within the time-out; false when none came.
    bool WaitForEvent(GraphEvent& event, std::chrono::milliseconds timeout = std::chrono::seconds(120));
    MediaResult Stop();
    // Frames the engine's decoders have made; once stopped.
    std::int64_t FramesDecoded() const;

    FilterGraph* graph = nullptr;
    FrameRecorder recorder;
    std::shared_ptr<SampleGrabber> grabber;

private:
    MediaResult AddGroup(const MediaType& type, double fps, const RenderRequest& request, bool video);

    FfmpegEditingServices services_;
    std::unique_ptr<Timeline> timeline_;
    std::unique_ptr<RenderEngine> engine_;
    MediaEventSource* events_ = nullptr;
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool notified_ = false;
};

// Renders a whole request and returns the frames; the graph's last event in *last.
std::vector<CapturedFrame> RenderFrames(const RenderRequest& request, GraphEvent* last = nullptr);

// A frame as top-down RGB24 rows without padding, the ffmpeg program's layout.
QByteArray TopDownRgb(const CapturedFrame& frame, int width, int height);
