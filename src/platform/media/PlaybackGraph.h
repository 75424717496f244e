#pragma once

#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"
#include "platform/media/VideoProcessing.h"

#include <QObject>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>

// A native window the video is drawn into (an X11 window id); 0 for none.
using NativeWindowId = std::uintptr_t;

enum class FrameStep { Back, Forward };

// The playback graph of one preview: one file, played, paused and positioned
// from the user-interface thread. Every call returns at once; what the graph
// learns later arrives as a signal on the thread that owns it, never from
// inside a call. Positions are
// media times from the start of the file, as the probe and the frame extractor
// count them.
class PlaybackGraph : public QObject {
    Q_OBJECT

public:
    // Starts opening the file, paused on its first picture: Opened or
    // OpenFailed follows.
    virtual void Open(const std::string& path) = 0;
    virtual void Run() = 0;
    virtual void Pause() = 0;
    // Exact, to the picture on screen at that time; the play state is kept.
    // A seek replaces the seeks and steps still waiting.
    virtual void Seek(MediaTime position) = 0;
    // One picture on from, or back before, the one on screen; for a paused
    // graph. Steps add up; without a picture they do nothing.
    virtual void StepFrame(FrameStep step) = 0;
    // Draws the picture into the window, filling it; 0 detaches it.
    virtual void SetVideoWindow(NativeWindowId window) = 0;
    // Before or after Open; an open file shows the new look at the same
    // position. A look the player refuses leaves the picture as the file has it.
    virtual void SetProcessing(const VideoProcessing& processing) = 0;

Q_SIGNALS:
    // The file is open; hasVideo is false for sound alone.
    void Opened(bool hasVideo);
    // The file cannot be played (missing, not a media file, no decoder).
    void OpenFailed();
    void LengthChanged(MediaTime length);
    // The picture as displayed (turned as the file says), once it is known.
    void VideoSizeChanged(QSize size);
    // The position while playing, or that of the picture on screen.
    void PositionChanged(MediaTime position);
    // Every seek and step asked for has landed; the picture on screen is the
    // one at position.
    void SeekFinished(MediaTime position);
    // Playback reached the end of the file, which stays open there.
    void EndOfFile();
};

// A new graph, or the reason there is none.
struct CreatedPlaybackGraph {
    std::unique_ptr<PlaybackGraph> graph;
    MediaResult result = MediaResult::Ok;
};

// Creates the playback graphs; a fake can fail the creation.
class PlaybackServices {
public:
    virtual ~PlaybackServices() = default;
    virtual CreatedPlaybackGraph CreatePlaybackGraph() = 0;
};

// The playback of this platform on libmpv: pictures into the preview window
// and sound to the system, or neither (headless, for tests).
std::unique_ptr<PlaybackServices> CreatePlatformPlaybackServices(bool headless);
