#pragma once

#include "platform/media/PlaybackGraph.h"
#include "settings/ConversionSettings.h"

#include <QObject>
#include <QSize>
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
    VideoProcessing processing = {}; // the look of the pictures, for every graph the player builds
};

// The preview's share of the output options: what makes the pictures look as they do.

// Plays one clip in its preview window. It owns the playback graph and the
// window; the main window holds the one current player and hears from it
// through its signals. Everything runs on the user-interface thread, and
// nothing waits for the graph: what it learns (the picture, the length, the
// positions, the end of a seek) comes as the graph's signals.
class PreviewPlayer final : public QObject {
    Q_OBJECT

public:
    PreviewPlayer(PreviewServices services, QWidget* ownerWindow);
    ~PreviewPlayer() override;
    PreviewPlayer(const PreviewPlayer&) = delete;
    PreviewPlayer& operator=(const PreviewPlayer&) = delete;

    // Creates the window and the graph and starts opening the file, stopped
    // on its first frame; the window shows once the graph has opened it.
    // The length measured when the clip was opened, if any, stands until the
    // graph tells its own, so that the seek bar works at once. False when no
    // graph can be created: its box is shown and the player closed. A file
    // that turns out not to play shows its box, closes the player and emits
    // OpenFailed.
    bool Open(const QString& path, MediaTime measuredLength = 0);
    // Releases the graph, destroys the window, forgets the clip. Not to be
    // called from inside the window's own event handlers.
    void Close();

    void Play();
    void Pause();
    // Back to the start, showing the first frame.
    void Stop();
    // Shows or plays on from the position; the play state is kept.
    void SeekTo(MediaTime position);
    // One frame on or back while paused or stopped (a clip stepped from its
    // start is paused after). Nothing while the clip plays or without a picture.
    void StepFrame(FrameStep step);
    // The position timer's tick: emits PositionsRefreshed.
    void RefreshPositions();
    // "name  " or "name  (Paused)"; "PREVIEW" without a clip.
    void RefreshTitle();
    // The window's close box and its menu's Close: posts CloseRequested.
    void RequestClose();
    // The open clip shows the new look where it is, and so does any clip opened later.
    void SetProcessing(const VideoProcessing& processing);

    PlayState State() const { return state_; }
    // The position of the picture on screen, or the position while playing.
    MediaTime CurrentPosition() const { return currentPosition_; }
    // The clip's length; 0 while neither the graph nor the opening measured it.
    MediaTime StopPosition() const { return stopPosition_; }
    // The picture as displayed; empty until the graph knows it, and for sound alone.
    QSize VideoSize() const { return videoSize_; }
    // False from a seek or a step until its picture is on screen; the current
    // position is then that picture's.
    bool Settled() const { return !seeking_; }
    bool AudioOnly() const { return audioOnly_; }
    const QString& ClipPath() const { return clipPath_; }
    PreviewWindow* Window() const { return window_.get(); }
    PlaybackGraph* Graph() const { return graph_.get(); }
    QWidget* OwnerWindow() const { return ownerWindow_; }

Q_SIGNALS:
    // The positions changed or a tick came (the main window's message 1027).
    void PositionsRefreshed();
    // Every seek and step has put its picture on screen: Settled() again.
    void PictureSettled();
    // The user closed the preview window (the main window's command 1056).
    void CloseRequested();
    // The file could not be played; its box has been shown and the player closed.
    void OpenFailed();

private:
    bool CreateGraph();
    void ConnectGraph();
    void ShowOpened(bool hasVideo);
    void ShowVideoSize(QSize size);
    void LengthKnown(MediaTime length);
    void SeekLanded(MediaTime position);
    void ReportOpenFailure();
    void Seek(MediaTime position);
    void NotifyPositions();
    void DestroyWindow();

    PreviewServices services_;
    QWidget* ownerWindow_;
    std::unique_ptr<PlaybackGraph> graph_;
    std::unique_ptr<PreviewWindow> window_;
    QString clipPath_;
    PlayState state_ = PlayState::Closed;
    MediaTime currentPosition_ = 0;
    MediaTime stopPosition_ = 0;
    QSize videoSize_;
    bool seeking_ = false;
    bool audioOnly_ = false;
};
