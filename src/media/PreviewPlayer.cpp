#include "media/PreviewPlayer.h"

#include "media/MediaTexts.h"
#include "media/PreviewWindow.h"
#include "platform/ui/MessageService.h"
#include "resources/ProductTexts.h"

#include <QFileInfo>
#include <QPointer>
#include <QWidget>

#include <chrono>

MillisecondClock SteadyMillisecondClock()
{
    return [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
}

PreviewPlayer::PreviewPlayer(PreviewServices services, QWidget* ownerWindow)
    : services_(std::move(services)), ownerWindow_(ownerWindow)
{
    if (!services_.clock)
        services_.clock = SteadyMillisecondClock();
}

PreviewPlayer::~PreviewPlayer()
{
    if (state_ != PlayState::Closed)
        Close();
}

bool PreviewPlayer::Open(const QString& path, MediaTime measuredLength)
{
    clipPath_ = path;
    state_ = PlayState::Stopped;
    stopPosition_ = measuredLength;
    window_ = std::make_unique<PreviewWindow>(*this, ownerWindow_, services_.clock);
    RefreshTitle();
    if (!CreateGraph()) {
        Close();
        return false;
    }
    // A look the player refuses leaves the picture as the file has it; the preview still plays.
    graph_->SetProcessing(services_.processing);
    graph_->Open(clipPath_.toStdString());
    return true;
}

bool PreviewPlayer::CreateGraph()
{
    CreatedPlaybackGraph created = services_.playback.CreatePlaybackGraph();
    if (!created.graph) {
        const MediaResult result = Failed(created.result) ? created.result : MediaResult::Pointer;
        services_.messages.Show(nullptr, QString::asprintf(MediaTexts::kPreviewCreateFailed, ResultCode(result)),
                                kDiagnosticCaption);
        return false;
    }
    graph_ = std::move(created.graph);
    ConnectGraph();
    return true;
}

void PreviewPlayer::ConnectGraph()
{
    PlaybackGraph* graph = graph_.get();
    connect(graph, &PlaybackGraph::Opened, this, &PreviewPlayer::ShowOpened);
    // The box waits for the user; the graph's signal is done with first.
    connect(graph, &PlaybackGraph::OpenFailed, this, &PreviewPlayer::ReportOpenFailure, Qt::QueuedConnection);
    connect(graph, &PlaybackGraph::LengthChanged, this, &PreviewPlayer::LengthKnown);
    connect(graph, &PlaybackGraph::VideoSizeChanged, this, &PreviewPlayer::ShowVideoSize);
    connect(graph, &PlaybackGraph::PositionChanged, this, [this](MediaTime position) { currentPosition_ = position; });
    connect(graph, &PlaybackGraph::SeekFinished, this, &PreviewPlayer::SeekLanded);
    connect(graph, &PlaybackGraph::EndOfFile, this, &PreviewPlayer::Stop);
}

// The window is on screen before the graph draws into it: mpv leaves its
// picture unmapped in a window that is not shown yet.
void PreviewPlayer::ShowOpened(bool hasVideo)
{
    audioOnly_ = !hasVideo;
    window_->ShowVideo(hasVideo);
    if (hasVideo)
        graph_->SetVideoWindow(window_->VideoWindowId());
    window_->StartPositionTimer();
}

void PreviewPlayer::ShowVideoSize(QSize size)
{
    videoSize_ = size;
    window_->FitVideo();
}

// The seek bar works as soon as the length is known, before the first tick.
void PreviewPlayer::LengthKnown(MediaTime length)
{
    stopPosition_ = length;
    NotifyPositions();
}

void PreviewPlayer::SeekLanded(MediaTime position)
{
    currentPosition_ = position;
    seeking_ = false;
    NotifyPositions();
    Q_EMIT PictureSettled();
}

void PreviewPlayer::ReportOpenFailure()
{
    if (!graph_)
        return;
    const QPointer<PreviewPlayer> self(this);
    services_.messages.Show(nullptr, MediaTexts::kPreviewCannotPlay, kDiagnosticCaption);
    if (!self)
        return;
    Close();
    Q_EMIT OpenFailed();
}

void PreviewPlayer::Close()
{
    state_ = PlayState::Stopped;
    audioOnly_ = true;
    // The graph lets go of the video window before the window goes away:
    // mpv draws into it until its core has ended.
    graph_.reset();
    DestroyWindow();
    clipPath_.clear();
    seeking_ = false;
    state_ = PlayState::Closed;
    if (ownerWindow_)
        ownerWindow_->update();
    RefreshTitle();
}

void PreviewPlayer::DestroyWindow()
{
    if (!window_)
        return;
    window_->HideForClose();
    if (ownerWindow_)
        ownerWindow_->update();
    window_.reset();
}

void PreviewPlayer::Play()
{
    if (!graph_)
        return;
    if (state_ == PlayState::Stopped || state_ == PlayState::Paused) {
        graph_->Run();
        state_ = PlayState::Running;
    }
    RefreshTitle();
}

void PreviewPlayer::Pause()
{
    if (!graph_)
        return;
    if (state_ != PlayState::Stopped && state_ != PlayState::Paused) {
        graph_->Pause();
        state_ = PlayState::Paused;
    }
    RefreshTitle();
}

// Paused at the start, so the first frame shows while stopped.
void PreviewPlayer::Stop()
{
    if (!graph_)
        return;
    if (state_ == PlayState::Paused || state_ == PlayState::Running) {
        window_->StopCursorTimer();
        graph_->Pause();
        state_ = PlayState::Stopped;
        Seek(0);
    }
    RefreshTitle();
}

void PreviewPlayer::SeekTo(MediaTime position)
{
    if (graph_)
        Seek(position < 0 ? 0 : position);
}

void PreviewPlayer::Seek(MediaTime position)
{
    seeking_ = true;
    graph_->Seek(position);
}

void PreviewPlayer::StepFrame(FrameStep step)
{
    if (!graph_ || audioOnly_ || (state_ != PlayState::Paused && state_ != PlayState::Stopped))
        return;
    seeking_ = true;
    graph_->StepFrame(step);
    if (state_ == PlayState::Stopped) {
        state_ = PlayState::Paused;
        RefreshTitle();
    }
}

void PreviewPlayer::RefreshPositions()
{
    if (graph_)
        NotifyPositions();
}

void PreviewPlayer::NotifyPositions()
{
    if (ownerWindow_)
        Q_EMIT PositionsRefreshed();
}

void PreviewPlayer::RefreshTitle()
{
    if (!window_)
        return;
    if (clipPath_.isEmpty()) {
        window_->setWindowTitle(MediaTexts::kPreviewNoClipCaption);
        return;
    }
    const QString suffix = state_ == PlayState::Paused ? MediaTexts::kPausedSuffix : QString();
    window_->setWindowTitle(QFileInfo(clipPath_).fileName() + QStringLiteral("  ") + suffix);
}

void PreviewPlayer::SetProcessing(const VideoProcessing& processing)
{
    services_.processing = processing;
    if (graph_)
        graph_->SetProcessing(processing);
}

void PreviewPlayer::RequestClose()
{
    QMetaObject::invokeMethod(this, [this] { Q_EMIT CloseRequested(); }, Qt::QueuedConnection);
}
