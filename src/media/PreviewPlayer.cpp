#include "media/PreviewPlayer.h"

#include "media/MediaTexts.h"
#include "media/PreviewWindow.h"
#include "platform/ui/MessageService.h"
#include "resources/ProductTexts.h"

#include <QFileInfo>
#include <QWidget>

#include <chrono>

MillisecondClock SteadyMillisecondClock()
{
    return [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
}

PlaybackProcessing PreviewProcessing(const ConversionSettings& settings)
{
    using Deinterlace = PlaybackProcessing::Deinterlace;
    const Deinterlace deinterlace = settings.deinterlaceMode == kDeinterlaceOff      ? Deinterlace::Off
                                    : settings.deinterlaceMode == kDeinterlaceAlways ? Deinterlace::Always
                                                                                     : Deinterlace::Automatic;
    return {settings.toneMapHdr, deinterlace};
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

bool PreviewPlayer::Open(const QString& path)
{
    clipPath_ = path;
    state_ = PlayState::Stopped;
    window_ = std::make_unique<PreviewWindow>(*this, ownerWindow_, services_.clock);
    if (BuildGraph())
        return true;
    Close();
    return false;
}

bool PreviewPlayer::BuildGraph()
{
    const MediaResult created = services_.playback.CreatePlaybackGraph(graph_);
    if (Failed(created) || !graph_) {
        ShowDiagnostic(MediaTexts::kPreviewCreateFailed, Failed(created) ? created : MediaResult::Pointer);
        return false;
    }
    // A look the player refuses leaves the picture as the file has it; the preview still plays.
    graph_->SetProcessing(services_.processing);
    if (Failed(graph_->RenderFile(clipPath_.toStdString()))) {
        services_.messages.Show(nullptr, MediaTexts::kPreviewCannotPlay, kDiagnosticCaption);
        return false;
    }
    audioOnly_ = !CheckVisibility();
    // Events come on the graph's threads; they are handled on this one.
    const MediaResult notify = graph_->SetNotify(
        [this] { QMetaObject::invokeMethod(this, [this] { HandleGraphEvents(); }, Qt::QueuedConnection); });
    if (Failed(notify)) {
        ShowDiagnostic(MediaTexts::kPreviewNotifyFailed, notify);
        return false;
    }
    // The window is on screen before the graph draws into it: mpv leaves its
    // picture unmapped in a window that is not shown yet.
    window_->ShowVideo(!audioOnly_);
    if (!audioOnly_ && !AttachVideo())
        return false;
    RefreshTitle();
    window_->StartPositionTimer();
    // The length is known at once, so the seek bar works before the first tick.
    RefreshPositions();
    return true;
}

// True when there is a picture to show; a failed question counts as video.
bool PreviewPlayer::CheckVisibility()
{
    bool visible = false;
    const MediaResult result = graph_->GetVisible(visible);
    if (result == MediaResult::NoInterface)
        return false;
    if (Failed(result)) {
        services_.messages.Show(nullptr,
                                QString::asprintf(MediaTexts::kPreviewVisibleFailed,
                                                  static_cast<unsigned long>(ResultCode(result))),
                                kDiagnosticCaption);
    }
    return true;
}

bool PreviewPlayer::AttachVideo()
{
    MediaResult result = graph_->SetVideoWindow(window_->VideoWindowId());
    if (Succeeded(result))
        result = window_->NormalSize(1, 1);
    if (Failed(result))
        ShowDiagnostic(MediaTexts::kPreviewInitVideoFailed, result);
    return Succeeded(result);
}

void PreviewPlayer::ShowDiagnostic(const char* format, MediaResult result)
{
    services_.messages.Show(nullptr, QString::asprintf(format, ResultCode(result)), kDiagnosticCaption);
}

void PreviewPlayer::Close()
{
    if (graph_)
        graph_->Stop();
    state_ = PlayState::Stopped;
    audioOnly_ = true;
    // The graph lets go of the video window before the window goes away.
    ReleaseGraph();
    DestroyWindow();
    clipPath_.clear();
    state_ = PlayState::Closed;
    if (ownerWindow_)
        ownerWindow_->update();
    RefreshTitle();
}

void PreviewPlayer::ReleaseGraph()
{
    if (!graph_)
        return;
    graph_->SetVideoWindow(0);
    graph_->SetNotify({});
    graph_.reset();
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
    if ((state_ == PlayState::Stopped || state_ == PlayState::Paused) && Succeeded(graph_->Run()))
        state_ = PlayState::Running;
    if (Succeeded(graph_->SetRate(1.0)))
        RefreshTitle();
}

void PreviewPlayer::Pause()
{
    if (!graph_)
        return;
    if (state_ != PlayState::Stopped && state_ != PlayState::Paused && Succeeded(graph_->Pause()))
        state_ = PlayState::Paused;
    RefreshTitle();
}

void PreviewPlayer::Stop()
{
    if (!graph_)
        return;
    if (state_ == PlayState::Paused || state_ == PlayState::Running) {
        window_->StopCursorTimer();
        if (Succeeded(graph_->Stop())) {
            state_ = PlayState::Stopped;
            // Paused at the start, so the first frame shows while stopped.
            graph_->SetCurrentPosition(0);
            graph_->Pause();
        }
    }
    RefreshTitle();
}

MediaResult PreviewPlayer::SeekTo(MediaTime position)
{
    if (!graph_)
        return MediaResult::Ok;
    return graph_->SetCurrentPosition(position < 0 ? 0 : position);
}

void PreviewPlayer::StepFrame(FrameStep step)
{
    if (!graph_ || (state_ != PlayState::Paused && state_ != PlayState::Stopped))
        return;
    if (Failed(graph_->StepFrame(step)))
        return;
    if (state_ == PlayState::Stopped) {
        state_ = PlayState::Paused;
        RefreshTitle();
    }
    RefreshPositions();
}

bool PreviewPlayer::RefreshPositions()
{
    if (!graph_ || Failed(graph_->GetStopPosition(stopPosition_))
        || Failed(graph_->GetCurrentPosition(currentPosition_)))
        return false;
    if (ownerWindow_)
        Q_EMIT PositionsRefreshed();
    return true;
}

void PreviewPlayer::HandleGraphEvents()
{
    if (!graph_)
        return;
    GraphEvent event;
    while (graph_ && graph_->GetEvent(event) == MediaResult::Ok) {
        if (event.code == EC_COMPLETE)
            Stop();
    }
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

void PreviewPlayer::SetProcessing(const PlaybackProcessing& processing)
{
    services_.processing = processing;
    if (graph_)
        graph_->SetProcessing(processing);
}

void PreviewPlayer::RequestClose()
{
    QMetaObject::invokeMethod(this, [this] { Q_EMIT CloseRequested(); }, Qt::QueuedConnection);
}
