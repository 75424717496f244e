// The main window's commands for the clip, its playback and the conversion.
#include "app/MainWindow.h"

#include "app/AppServices.h"
#include "app/ConversionPresenter.h"
#include "app/MainWindowTexts.h"
#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "media/OpenVideo.h"
#include "media/PlaybackControls.h"
#include "media/PlaybackDisplay.h"
#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/MessageService.h"
#include "settings/OptionsDialog.h"
#include "settings/StatusText.h"

#include <QProxyStyle>
#include <QSlider>

#include <utility>

using namespace MainWindowTexts;

namespace {

// A click in the channel puts the handle under the mouse, as media players
// do, instead of moving it one page; pressed and released are reported as for
// a drag, so the clip seeks there.
class JumpingSliderStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void MainWindow::JumpToClicks(QSlider& seekBar)
{
    auto* style = new JumpingSliderStyle;
    style->setParent(&seekBar);
    seekBar.setStyle(style);
}

void MainWindow::OnOpenVideo()
{
    const FileChooserRequest request = OpenVideoChooserRequest(services_.language, services_.profile);
    const QStringList filters = QtNameFilters(request);
    const std::optional<QString> path =
        services_.choosers.ChooseOpenFile(this, request.title, request.directory, filters.join(QStringLiteral(";;")),
                                          filters.value(request.selectedFilter));
    if (path)
        OpenClip(*path);
}

void MainWindow::OpenClip(const QString& path)
{
    const OpenVideoServices openServices{
        ProbeServices{services_.createProbe, services_.messages, services_.language, this}, services_.profile};
    const std::optional<OpenedClip> opened = OpenVideo(openServices, path, clip_, settings_);
    if (!opened)
        return;
    SetBoxText(kIdStartTimeBox, opened->texts.startTime);
    SetBoxText(kIdPositionBox, opened->texts.position);
    SetBoxText(kIdEndTimeBox, opened->texts.endTime);
    ShowMarkTooltips();
    ClosePreview();
    ShowPreview();
    EnablePlaybackControls();
    HideConversionResult();
    SetStatusText(opened->status);
}

void MainWindow::ShowPreview()
{
    player_ = OpenPreview(PreviewServices{services_.playback, services_.messages, {}, ProcessingOf(settings_)},
                          this, clip_);
    if (!player_)
        return;
    connect(player_.get(), &PreviewPlayer::PositionsRefreshed, this, &MainWindow::OnPositionRefresh);
    connect(player_.get(), &PreviewPlayer::PictureSettled, this, &MainWindow::TakePendingMarks);
    connect(player_.get(), &PreviewPlayer::CloseRequested, this, [this] { OnCommand(kIdCloseClip); });
    connect(player_.get(), &PreviewPlayer::OpenFailed, this, &MainWindow::ClosePreview);
    // A file dropped on the preview opens as one dropped on this window.
    player_->Window()->setAcceptDrops(true);
    player_->Window()->installEventFilter(this);
}

void MainWindow::ClosePreview()
{
    pendingMarks_ = {};
    if (player_) {
        if (player_->State() != PlayState::Closed)
            player_->Close();
        player_.reset();
    }
    seekPos = 0;
    controls_.Get<QSlider>(kIdSeekBar)->setValue(0);
}

void MainWindow::OnOptions()
{
    if (IsConverting())
        return;
    OptionsContext context{services_.profile, services_.language, services_.messages,
                           [this](QWidget* owner, const QString& title) {
                               return services_.choosers.ChooseFolder(owner, title, settings_.outputFolder);
                           },
                           [this](QWidget& dialog, int templateId) {
                               TranslateDialog(services_.language, dialog, templateId);
                           }};
    OptionsDialog dialog(context, settings_, clip_.facts, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    settings_ = dialog.Result();
    if (player_)
        player_->SetProcessing(ProcessingOf(settings_));
    HideConversionResult();
    SetStatusText(OutputStatusText(services_.language, settings_, clip_.facts));
}

void MainWindow::OnConvert()
{
    if (!job_)
        return;
    // Stop ends a running conversion even when its clip has been closed since.
    if (job_->IsConverting()) {
        job_->EndConversion();
        return;
    }
    // Marks still waiting for their picture belong to this conversion.
    if (pendingMarks_.start || pendingMarks_.end) {
        pendingMarks_.convert = true;
        return;
    }
    const ClipSource source{clip_.facts.videoItemCount, clip_.audioItemCount, clip_.video.path,
                            clip_.markStart,           clip_.markEnd,        clip_.facts.sourceFrameRate};
    if (const std::optional<ConversionRequest> request = Presenter().Checked({source, settings_}))
        job_->Start(*request);
}

void MainWindow::OnPlay()
{
    if (player_)
        player_->Play();
}

void MainWindow::OnPause()
{
    if (player_)
        player_->Pause();
}

void MainWindow::OnStop()
{
    if (player_)
        player_->Stop();
}

void MainWindow::OnStartTime()
{
    RequestMark(pendingMarks_.start);
}

void MainWindow::OnEndTime()
{
    RequestMark(pendingMarks_.end);
}

// A mark takes the position of the picture on screen. After a seek or a step
// that is the picture it lands on, so until then the mark waits for it.
void MainWindow::RequestMark(bool& pending)
{
    if (!player_)
        return;
    pending = true;
    TakePendingMarks();
}

void MainWindow::TakePendingMarks()
{
    if (!player_ || !player_->Settled())
        return;
    const MediaTime position = player_->CurrentPosition();
    if (std::exchange(pendingMarks_.start, false))
        SetMark(clip_.markStart, kIdStartTimeBox, position);
    if (std::exchange(pendingMarks_.end, false))
        SetMark(clip_.markEnd, kIdEndTimeBox, position);
    if (std::exchange(pendingMarks_.convert, false))
        OnConvert();
}

void MainWindow::SetMark(MediaTime& mark, int box, MediaTime position)
{
    mark = position;
    SetBoxText(box, FormatClockTime(position));
    ShowMarkTooltips();
}

// The boxes show whole seconds; their tooltips tell the marks exactly.
void MainWindow::ShowMarkTooltips()
{
    const bool open = clip_.facts.videoItemCount > 0;
    const double rate = clip_.facts.sourceFrameRate;
    controls_.Find(kIdStartTimeBox)->setToolTip(open ? MarkTooltip(clip_.markStart, rate) : QString());
    controls_.Find(kIdEndTimeBox)->setToolTip(open ? MarkTooltip(clip_.markEnd, rate) : QString());
}

void MainWindow::OnSeekReleased()
{
    seekPos = controls_.Get<QSlider>(kIdSeekBar)->value();
    SeekFromBar(player_.get(), seekPos);
}

// The clip is dropped: the preview window asks for this when it closes.
void MainWindow::OnCloseClip()
{
    ClosePreview();
    const ClipTexts texts = CloseClip(clip_);
    SetBoxText(kIdStartTimeBox, texts.startTime);
    SetBoxText(kIdEndTimeBox, texts.endTime);
    SetBoxText(kIdPositionBox, texts.position);
    ShowMarkTooltips();
    DisablePlaybackControls();
    // A running conversion goes on without the clip and can still be stopped.
    if (IsConverting())
        SetControlEnabled(kIdConvert, true);
}

// The seek bar is left alone while the user drags it.
void MainWindow::OnPositionRefresh()
{
    if (controls_.Get<QSlider>(kIdSeekBar)->isSliderDown())
        return;
    const PositionDisplay display = PositionDisplayFor(player_.get());
    SetBoxText(kIdPositionBox, display.positionText);
    if (display.seekPos) {
        seekPos = *display.seekPos;
        controls_.Get<QSlider>(kIdSeekBar)->setValue(seekPos);
    }
}
