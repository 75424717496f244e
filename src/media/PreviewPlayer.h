#pragma once

#include "platform/media/PlaybackGraph.h"
#include "settings/ConversionSettings.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class MessageService;
class PreviewWindow;
class QWidget;

enum class PlayState : int { Stopped = 0, Paused = 1, Running = 2, Closed = 3 };

// Milliseconds of a clock that may wrap; tests step it by hand.
using MillisecondClock = std::function<std::uint32_t()>;
MillisecondClock SteadyMillisecondClock();

struct PreviewServices {
    PlaybackServices& playback;
    MessageService& messages;
    MillisecondClock clock;       // empty: the steady clock
    PlaybackProcessing processing = {}; // the look of the pictures, for every graph the player builds
};

// The preview's share of the output options: what makes the pictures look as they do.
PlaybackProcessing PreviewProcessing(const ConversionSettings& settings);

// Plays one clip in its preview window. It owns the playback graph and the
// window; the main window holds the one current player and hears from it
// through the two signals. Everything runs on the user-interface thread; the
// graph's events are posted to it.
class PreviewPlayer final : public QObject {
    Q_OBJECT

public:
    PreviewPlayer(PreviewServices services, QWidget* ownerWindow);
    ~PreviewPlayer() override;
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Creates the window and builds the graph for the file, stopped on its
    // first frame; every failure shows its box, closes the player and gives false.
    bool Open(const QString& path);
    // Stops and releases the graph, destroys the window, forgets the clip.
    // Not to be called from inside the window's own event handlers.
    void Close();

    void Play();
    void Pause();
    // Back to the start, showing the first frame.
    void Stop();
    // Shows or plays on from the position; the play state is kept.
    MediaResult SeekTo(MediaTime position);
    // One frame on or back while paused or stopped (a clip stepped from its
    // start is paused after); the position is polled at once. Nothing while
    // the clip plays.
    void StepFrame(FrameStep step);
    // Polls both positions; on success emits PositionsRefreshed.
    bool RefreshPositions();
    // Drains the graph's events; the end of the clip stops at the start.
    void HandleGraphEvents();
    // "name  " or "name  (Paused)"; "PREVIEW" without a clip.
    void RefreshTitle();
    // The window's close box and its menu's Close: posts CloseRequested.
    void RequestClose();
    // The open clip shows the new look where it is, and so does any clip opened later.
    void SetProcessing(const PlaybackProcessing& processing);

    PlayState State() const { return state_; }
    MediaTime CurrentPosition() const { return currentPosition_; }
    MediaTime StopPosition() const { return stopPosition_; }
    bool AudioOnly() const { return audioOnly_; }
    const QString& ClipPath() const { return clipPath_; }
    PreviewWindow* Window() const { return window_.get(); }
    PlaybackGraph* Graph() const { return graph_.get(); }
    QWidget* OwnerWindow() const { return ownerWindow_; }

Q_SIGNALS:
    // After each successful position poll (the main window's message 1027).
    void PositionsRefreshed();
    // The user closed the preview window (the main window's command 1056).
    void CloseRequested();

private:
    bool BuildGraph();
    bool CheckVisibility();
    bool AttachVideo();
    void ShowDiagnostic(const char* format, MediaResult result);
    void ReleaseGraph();
    void DestroyWindow();

    PreviewServices services_;
    QWidget* ownerWindow_;
    std::unique_ptr<PlaybackGraph> graph_;
    std::unique_ptr<PreviewWindow> window_;
    QString clipPath_;
    PlayState state_ = PlayState::Closed;
    MediaTime currentPosition_ = 0;
    MediaTime stopPosition_ = 0;
    bool audioOnly_ = false;
};
