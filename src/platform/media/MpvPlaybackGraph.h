#pragma once

#include "platform/media/PlaybackGraph.h"

#include <QSize>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <variant>

struct mpv_event;
struct mpv_event_end_file;
struct mpv_event_property;
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

// The playback graph on libmpv. Calls come from the user-interface thread and
// only hand requests to mpv; mpv's own threads wake the graph, which takes
// mpv's events on its own thread and turns them into its signals. It never
// signals from inside a call.
class MpvPlaybackGraph final : public PlaybackGraph {
    Q_OBJECT

public:
    MpvPlaybackGraph(MpvHandle handle, PlaybackOutput output);
    ~MpvPlaybackGraph() override;
    MpvPlaybackGraph(const MpvPlaybackGraph&) = delete;
    MpvPlaybackGraph& operator=(const MpvPlaybackGraph&) = delete;

    void Open(const std::string& path) override;
    void Run() override;
    void Pause() override;
    void Seek(MediaTime position) override;
    void StepFrame(FrameStep step) override;
    void SetVideoWindow(NativeWindowId window) override;
    void SetProcessing(const VideoProcessing& processing) override;

private:
    // What the graph does about the seeks and steps it was asked for. mpv
    // carries one out at a time on its own threads; the next is sent once the
    // last has put its picture on screen, so each lands where it was meant to.
    enum class Phase {
        Opening,       // the file's first picture is not on screen yet
        Idle,
        ReadingStart,  // a step forward reads the position it steps from
        Seeking,       // a seek is sent; its picture is not on screen yet
        ReadingLanded, // its picture is on screen; its position is read
    };
    using Request = std::variant<MediaTime, FrameStep>; // a seek's target, or a step

    // One mpv property the graph observes, and what its changes become.
    struct ObservedProperty {
        const char* name;
        int format; // an mpv_format
        void (MpvPlaybackGraph::*changed)(const void* value);
    };
    static const ObservedProperty kObservedProperties[];

    static void Wakeup(void* graph);
    void DrainEvents();
    void Handle(const mpv_event& event);
    void PropertyChanged(const mpv_event& event);
    void DurationChanged(const void* value);
    void TimePosChanged(const void* value);
    void EofChanged(const void* value);
    void WidthChanged(const void* value);
    void HeightChanged(const void* value);
    void TransferChanged(const void* value);
    void PrimariesChanged(const void* value);
    // Sets the display mpv draws for from the processing and the source's colours.
    void ApplyDisplay();
    void FileLoaded();
    void TracksRead(const mpv_event_property& tracks);
    void PropertyRead(const mpv_event& event);
    void CommandReplied(const mpv_event& event);
    void PictureShown();
    void FileEnded();
    void EmitVideoSize();

    void SetPhase(Phase phase);
    void StartNextRequest();
    void SendSeek(MediaTime position);
    void SendSeekCommand(const char** command);
    void ReadLanded();
    void RequestDone();
    void EndLater();
    void LimitReached();

    MpvHandle mpv_;
    PlaybackOutput output_;
    std::atomic<bool> drainPosted_{false}; // set on mpv's threads
    bool fileLoaded_ = false;
    bool openFailed_ = false;
    bool opened_ = false;          // the tracks are known
    bool hasVideo_ = false;
    Phase phase_ = Phase::Opening;
    bool seekTaken_ = false;       // mpv has taken the seek sent; a restart before that was an earlier one's
    std::deque<Request> requests_; // waiting to be sent
    QTimer limit_;                 // a phase that has not ended by then is taken as ended (a broken file)
    MediaTime position_ = 0;       // the latest position learnt
    QSize decoded_;                // the picture as decoded, before turning
    std::int64_t rotation_ = 0;
    QSize shown_;                  // the size last signalled
    VideoProcessing processing_;
    std::string sourceTransfer_;   // as mpv names them; empty while unknown
    std::string sourcePrimaries_;
};

// Creates mpv playback graphs; fails when mpv cannot start (for example with
// a numeric locale other than "C").
class MpvPlaybackServices final : public PlaybackServices {
public:
    explicit MpvPlaybackServices(PlaybackOutput output = PlaybackOutput::Embedded) : output_(output) {}
    CreatedPlaybackGraph CreatePlaybackGraph() override;

private:
    PlaybackOutput output_;
};
