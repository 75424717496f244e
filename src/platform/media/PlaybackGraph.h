#pragma once

#include "platform/media/GraphEvent.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"

#include <cstdint>
#include <memory>
#include <string>

// A native window the video is drawn into (an X11 window id); 0 for none.
using NativeWindowId = std::uintptr_t;

enum class FrameStep { Back, Forward };

// What the player does to the picture before it shows, so that the preview
// looks like the pictures a conversion writes.
struct PlaybackProcessing {
    enum class Deinterlace { Off, Automatic, Always };
    // HDR (PQ or HLG) tone-mapped to SDR; otherwise its signal shows as SDR
    // would, washed out, as the pictures then are.
    bool toneMapHdr = true;
    Deinterlace deinterlace = Deinterlace::Automatic; // Automatic: frames flagged interlaced only
};

// The playback graph of one preview: one file, played, paused, stopped and
// positioned from the user-interface thread. Positions are media times from
// the start of the file, as the probe and the render engine count them.
class PlaybackGraph : public MediaEventSource {
public:
    // Opens the file and prepares its streams; the graph is not started.
    // FileNotFound or CannotRender when it cannot be played.
    virtual MediaResult RenderFile(const std::string& path) = 0;

    virtual MediaResult Run() = 0;
    virtual MediaResult Pause() = 0;
    virtual MediaResult Stop() = 0;
    virtual MediaResult SetRate(double rate) = 0;

    // Exact, to the frame on screen at that time; the play state is kept.
    virtual MediaResult SetCurrentPosition(MediaTime position) = 0;
    // One frame on from, or back before, the picture on screen, which then
    // shows; for a paused graph. NoInterface when the file has no video.
    virtual MediaResult StepFrame(FrameStep step) = 0;
    // The position now; after a seek or a step, that of the picture it lands on.
    virtual MediaResult GetCurrentPosition(MediaTime& position) = 0;
    virtual MediaResult GetStopPosition(MediaTime& position) = 0;

    // The picture as displayed; NoInterface when the file has no video.
    virtual MediaResult GetVideoSize(int& width, int& height) = 0;
    // Ok when there is a picture to show; NoInterface for sound alone.
    virtual MediaResult GetVisible(bool& visible) = 0;
    // Draws the picture into the window, filling it; 0 detaches it.
    virtual MediaResult SetVideoWindow(NativeWindowId window) = 0;
    // Before or after RenderFile; an open file shows the new look at the same
    // position. Fails only when the player refuses the settings, and then it
    // shows the picture as before.
    virtual MediaResult SetProcessing(const PlaybackProcessing& processing) = 0;
};

// Creates the playback graphs; a fake can fail the creation.
class PlaybackServices {
public:
    virtual ~PlaybackServices() = default;
    virtual MediaResult CreatePlaybackGraph(std::unique_ptr<PlaybackGraph>& graph) = 0;
};

// The playback of this platform on libmpv: pictures into the preview window
// and sound to the system, or neither (headless, for tests).
std::unique_ptr<PlaybackServices> CreatePlatformPlaybackServices(bool headless);
