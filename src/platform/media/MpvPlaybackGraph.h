#pragma once

#include "platform/media/PlaybackGraph.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

struct mpv_event;
struct mpv_handle;

// Owns one mpv core and destroys it exactly once.
struct MpvDestroyer {
    void operator()(mpv_handle* handle) const;
};
using MpvHandle = std::unique_ptr<mpv_handle, MpvDestroyer>;

enum class PlaybackOutput {
    Embedded, // picture into the window given by SetVideoWindow, sound to the system (silent without one)
    Headless, // no picture and no sound; everything else as embedded (for tests)
};

// The playback graph on libmpv. Calls come from the user-interface thread;
// mpv's own threads only wake the owner through the notification.
class MpvPlaybackGraph final : public PlaybackGraph {
public:
    MpvPlaybackGraph(MpvHandle handle, PlaybackOutput output);
    ~MpvPlaybackGraph() override;
    MpvPlaybackGraph(const MpvPlaybackGraph&) = delete;
    MpvPlaybackGraph& operator=(const MpvPlaybackGraph&) = delete;

    MediaResult RenderFile(const std::string& path) override;
    MediaResult Run() override;
    MediaResult Pause() override;
    MediaResult Stop() override;
    MediaResult SetRate(double rate) override;
    MediaResult SetCurrentPosition(MediaTime position) override;
    MediaResult StepFrame(FrameStep step) override;
    MediaResult GetCurrentPosition(MediaTime& position) override;
    MediaResult GetStopPosition(MediaTime& position) override;
    MediaResult GetVideoSize(int& width, int& height) override;
    MediaResult GetVisible(bool& visible) override;
    MediaResult SetVideoWindow(NativeWindowId window) override;
    MediaResult SetProcessing(const PlaybackProcessing& processing) override;
    MediaResult SetNotify(GraphNotify notify) override;
    MediaResult GetEvent(GraphEvent& event) override;

private:
    static void Wakeup(void* graph);
    // Turns mpv's waiting events into graph events.
    void Translate();
    void Handle(const mpv_event& event);
    MediaResult WaitUntilLoaded();
    // Waits until the last seek has put its picture on screen.
    void Settle();
    MediaResult Seek(const char** command);
    void WaitForVideoSize(std::chrono::steady_clock::time_point deadline);
    int VideoTrack() const; // index in mpv's track list, -1 without video
    MediaResult TimeProperty(const char* name, MediaTime& time) const;
    // Sets the display mpv draws for from the processing and the source's colours.
    MediaResult ApplyDisplay();

    MpvHandle mpv_;
    PlaybackOutput output_;
    bool loaded_ = false;
    bool loadFailed_ = false;
    bool seeking_ = false; // a load or seek has not shown its picture yet
    std::deque<GraphEvent> events_;
    std::mutex notifyMutex_; // the notification is called on mpv's threads
    GraphNotify notify_;
    bool wakeupMissed_ = false; // woken while no notification was set
    std::int64_t videoWidth_ = 0; // the picture as decoded, before rotation; 0 unknown
    std::int64_t videoHeight_ = 0;
    PlaybackProcessing processing_;
    std::string sourceTransfer_; // as mpv names them ("pq", "bt.2020"); empty while unknown
    std::string sourcePrimaries_;
};

// Creates mpv playback graphs; fails when mpv cannot start (for example with
// a numeric locale other than "C").
class MpvPlaybackServices final : public PlaybackServices {
public:
    explicit MpvPlaybackServices(PlaybackOutput output = PlaybackOutput::Embedded) : output_(output) {}
    MediaResult CreatePlaybackGraph(std::unique_ptr<PlaybackGraph>& graph) override;

private:
    PlaybackOutput output_;
};
