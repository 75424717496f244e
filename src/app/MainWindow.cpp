#include "app/MainWindow.h"

#include "app/AppServices.h"
#include "app/ConversionPresenter.h"
#include "app/MainWindowTexts.h"
#include "app/TemporaryBitmap.h"
#include "controls/AboutDialog.h"
#include "controls/IconButton.h"
#include "i18n/LanguageMenu.h"
#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "extract/ConversionJob.h"
#include "extract/FrameSampler.h"
#include "media/OpenVideo.h"
#include "media/PlaybackControls.h"
#include "media/PreviewPlayer.h"
#include "media/PreviewWindow.h"
#include "platform/media/ClockText.h"
#include "platform/profile/Profile.h"
#include "platform/shell/DataFolders.h"
#include "platform/shell/Shell.h"
#include "platform/ui/MessageService.h"
#include "resources/ProductTexts.h"
#include "resources/Resources.h"
#include "resources/StringIds.h"
#include "resources/TemplateIds.h"
#include "settings/ProfileNames.h"
#include "settings/SettingsStore.h"
#include "settings/StatusText.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QUrl>
#include <QWindow>

#include <algorithm>

using namespace MainWindowTexts;

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kFullBarMs = 1500;

struct IconButtonSetup {
    int id;
    int icon;
    int tooltipString; // 0: the fixed tooltip below
    const char* tooltip;
};

// In the order the buttons are set up; the hidden slideshow buttons among them.
constexpr IconButtonSetup kIconButtons[] = {
    {kIdOpenVideo, kIconOpenVideo, kStringOpenFile, ""},
    {1007, kIconOpenVideo, 0, "Add background music to list"},
    {kIdOptions, kIconOptions, kStringOptionsTip, ""},
    {1016, kIconTransition, 0, "Customize photo and transition options"},
    {kIdConvert, kIconApplication, kStringConvertTip, ""},
    {1019, kIconPreview, 0, "Preview"},
    {kIdHelp, kIconHelp, 0, "Help"},
    {kIdHomepage, kIconHomepage, 0, "Homepage"},
    {kIdAbout, kIconAbout, 0, "About"},
    {kIdExit, kIconExit, 0, "Exit"},
    {1031, kIconMoveUp, 0, "Move item up"},
    {1032, kIconMoveDown, 0, "Move item down"},
    {1029, kIconDelete, 0, "Delete selected item"},
    {1030, kIconDeleteAll, 0, "Delete all items"},
    {1033, kIconProperties, 0, "Change selected item's properties"},
};

constexpr int kSlideshowControls[] = {1009, 1008, 1031, 1032, 1029, 1030, 1033, 1016, 1019, 1007};
constexpr int kPlaybackControls[] = {kIdConvert,   kIdSeekBar, kIdPlay,         kIdPause,      kIdStop,
                                     kIdStartTime, kIdEndTime, kIdStartTimeBox, kIdEndTimeBox};
constexpr int kIdleOnlyControls[] = {kIdOpenVideo, kIdOptions, kIdStartTime, kIdEndTime};

void SetupIconButton(IconButton& button, SoundPlayer& sounds, int icon, const QString& tooltip)
{
    button.LoadButtonIcon(icon);
    button.SetHoverSound(sounds, kWaveHover);
    button.UseParentBackground();
    button.SetButtonCursor(kCursorButton);
    button.SetTooltip(tooltip, true);
    button.SetIconAlignment(IconButton::kIconAbove);
}

// The bar's position for written of expected pictures.
int ProgressSteps(std::int64_t written, std::int64_t expected)
{
    if (expected <= 0)
        return 0;
    return static_cast<int>(std::min(written, expected) * kProgressSteps / expected);
}

// A drop only names the file: it is taken as a copy, or a link, never moved,
// so a file manager never deletes what was dropped.
bool AcceptAsCopy(QDropEvent& event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction})
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    return false;
}

// Controls that take mouse input keep a right click to themselves; labels and
// the group frame let it through to the window, as static controls do.
bool TakesMouseInput(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QAbstractSlider*>(widget);
}

// An application window with a minimise box and a taskbar entry, not a dialog
// that the window manager would tie to another window.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                         | Qt::WindowCloseButtonHint;

} // namespace

const MainWindow::Command MainWindow::kCommands[] = {
    {kIdOpenVideo, &MainWindow::OnOpenVideo},
    {kIdOptions, &MainWindow::OnOptions},
    {kIdConvert, &MainWindow::OnConvert},
    {kIdHelp, &MainWindow::OnHelp},
    {kCommandHelpKey, &MainWindow::OnHelp},
    {kIdAbout, &MainWindow::OnAbout},
    {kCommandPopupAbout, &MainWindow::OnAbout},
    {kIdHomepage, &MainWindow::OnHomepage},
    {kIdExit, &MainWindow::OnExit},
    {kIdPlay, &MainWindow::OnPlay},
    {kIdPause, &MainWindow::OnPause},
    {kIdStop, &MainWindow::OnStop},
    {kIdStartTime, &MainWindow::OnStartTime},
    {kIdEndTime, &MainWindow::OnEndTime},
    {kIdSeekBar, &MainWindow::OnSeekReleased},
    {kIdCloseClip, &MainWindow::OnCloseClip},
    {kCommandPopupFont, &MainWindow::OnFont},
    {kIdOpenFolder, &MainWindow::OnOpenFolder},
};

MainWindow::MainWindow(AppServices& services, QWidget* parent)
    : QDialog(parent, kWindowFlags), services_(services), sampler_(std::make_unique<FrameGrabberCallback>())
{
    InitDialog();
    winId();
    windowHandle()->installEventFilter(this);
    setAcceptDrops(true);
    fullBarShown_.setSingleShot(true);
    fullBarShown_.setInterval(kFullBarMs);
    connect(&fullBarShown_, &QTimer::timeout, controls_.Find(kIdProgressBar), &QWidget::hide);
}

MainWindow::~MainWindow()
{
    job_.reset();
    ClosePreview();
}

// The steps of start-up in their order. Nothing stands in for the COM and
// GDI+ start-up, and the title-bar menu belongs to the window manager: the
// About item is the popup menu's and the About button's.
void MainWindow::InitDialog()
{
    backgroundBitmap = LoadBitmapResource(kBitmapBackground);
    controls_ = BuildDialog(*this, MainWindowTemplate());
    ConnectControls();
    setWindowIcon(LoadIconResource(kIconApplication));
    SettingsContext context{services_.profile, services_.knownFolders, services_.messages, this};
    settings_ = LoadConversionSettings(context);
    SetupIconButtons();
    HideSlideshowControls();
    ResetPlaybackControls();
    SetStatusText(OutputStatusText(services_.language, settings_, clip_.facts));
    CreateConversionJob();
    temporaryBitmap_ = TemporaryBitmapName(services_.messages, this, services_.language.GetString(kStringError));
    TranslateDialog(services_.language, *this, kMainWindowTemplate);
}

void MainWindow::ConnectControls()
{
    for (auto it = controls_.All().begin(); it != controls_.All().end(); ++it)
        if (auto* button = qobject_cast<QAbstractButton*>(it.value()))
            connect(button, &QAbstractButton::clicked, this, [this, id = it.key()] { OnCommand(id); });
    auto* seekBar = controls_.Get<QSlider>(kIdSeekBar);
    JumpToClicks(*seekBar);
    connect(seekBar, &QSlider::sliderReleased, this, [this] { OnCommand(kIdSeekBar); });
    // The keys of a video player for frame stepping; a text box with the focus
    // keeps its own keys, and dialogs are windows of their own.
    ConnectFrameStepShortcuts(*this, [this](FrameStep step) {
        if (player_)
            player_->StepFrame(step);
    });
}

void MainWindow::CreateConversionJob()
{
    job_ = std::make_unique<ConversionJob>(*sampler_);
    connect(job_.get(), &ConversionJob::StepFailed, this,
            [this](ConversionStep step, MediaResult result) { Presenter().ShowStepFailure(step, result); });
    connect(job_.get(), &ConversionJob::RunningChanged, this, [this](bool running) {
        running ? EnterConvertingState() : LeaveConvertingState();
    });
    connect(job_.get(), &ConversionJob::SecondsElapsed, this,
            [this](int seconds) { SetStatusText(ConversionPresenter::ProgressStatus(seconds)); });
    connect(job_.get(), &ConversionJob::ProgressChanged, this, &MainWindow::ShowProgress);
    connect(job_.get(), &ConversionJob::Finished, this, &MainWindow::OnConversionFinished);
}

ConversionPresenter MainWindow::Presenter()
{
    return ConversionPresenter(services_.messages, services_.language, this);
}

bool MainWindow::IsConverting() const
{
    return job_ && job_->IsConverting();
}

void MainWindow::SetupIconButtons()
{
    for (const IconButtonSetup& setup : kIconButtons) {
        const QString tooltip = setup.tooltipString ? services_.language.GetString(setup.tooltipString)
                                                    : QString::fromLatin1(setup.tooltip);
        SetupIconButton(*controls_.Get<IconButton>(setup.id), services_.sounds, setup.icon, tooltip);
    }
    controls_.Find(kIdOpenFolder)->setToolTip(services_.language.GetString(kStringOpenFolderTip));
}

void MainWindow::HideSlideshowControls()
{
    for (const int id : kSlideshowControls)
        controls_.Find(id)->hide();
}

void MainWindow::ResetPlaybackControls()
{
    auto* seekBar = controls_.Get<QSlider>(kIdSeekBar);
    seekBar->setRange(0, kSeekBarSteps);
    seekBar->setValue(0);
    controls_.Find(1017)->hide();
    SetBoxText(kIdStartTimeBox, kZeroClock);
    SetBoxText(kIdEndTimeBox, kZeroClock);
    DisablePlaybackControls();
    controls_.Find(kIdCloseClip)->hide();
}

bool MainWindow::OnCommand(int id)
{
    OnLanguageCommand(services_.language, services_.messages, *this, id);
    for (const Command& command : kCommands)
        if (command.id == id) {
            (this->*command.handler)();
            return true;
        }
    return false;
}

void MainWindow::EnablePlaybackControls()
{
    SetPlaybackControls(true);
}

void MainWindow::DisablePlaybackControls()
{
    SetPlaybackControls(false);
}

void MainWindow::SetPlaybackControls(bool enabled)
{
    for (const int id : kPlaybackControls)
        SetControlEnabled(id, enabled);
}

void MainWindow::SetControlEnabled(int id, bool enabled)
{
    controls_.Find(id)->setEnabled(enabled);
}

void MainWindow::SetBoxText(int id, const QString& text)
{
    controls_.Get<QLabel>(id)->setText(text);
}

void MainWindow::SetStatusText(const QString& text)
{
    SetBoxText(kIdStatusLine, text);
}

QString MainWindow::StatusText() const
{
    return controls_.Get<QLabel>(kIdStatusLine)->text();
}

void MainWindow::EnterConvertingState()
{
    controls_.Get<QAbstractButton>(kIdConvert)->setText(services_.language.GetDialogTextOrBuiltIn(kStringStop));
    for (const int id : kIdleOnlyControls)
        SetControlEnabled(id, false);
}

// The clip may have been closed while the conversion ran: then Convert and
// the marks stay disabled, as they are whenever no clip is open.
void MainWindow::LeaveConvertingState()
{
    controls_.Get<QAbstractButton>(kIdConvert)->setText(services_.language.GetDialogTextOrBuiltIn(kStringConvert));
    const bool clipOpen = clip_.facts.videoItemCount > 0;
    for (const int id : kIdleOnlyControls)
        SetControlEnabled(id, clipOpen || (id != kIdStartTime && id != kIdEndTime));
    SetControlEnabled(kIdConvert, clipOpen);
}

void MainWindow::ShowProgress(const ConversionProgress& progress)
{
    fullBarShown_.stop();
    auto* bar = controls_.Get<QProgressBar>(kIdProgressBar);
    bar->setRange(0, kProgressSteps);
    bar->setValue(ProgressSteps(progress.written, progress.expected));
    bar->show();
    const LanguagePack& language = services_.language;
    const std::int64_t expected = std::max(progress.expected, progress.written);
    SetBoxText(kIdPicturesBox, language.GetString(kStringPicturesProgress).arg(progress.written).arg(expected));
    controls_.Find(kIdPicturesBox)->show();
    SetBoxText(kIdTimeLeftBox, progress.secondsLeft
                                   ? language.GetString(kStringTimeLeft).arg(ClockText(*progress.secondsLeft))
                                   : QString());
    controls_.Find(kIdTimeLeftBox)->show();
    controls_.Find(kIdOpenFolder)->hide();
}

void MainWindow::OnConversionFinished(const ConversionOutcome& outcome)
{
    const ConversionPresenter presenter = Presenter();
    SetStatusText(presenter.ClosingStatus(outcome.settings));
    ShowPicturesWritten(outcome.picturesWritten, outcome.rangeDone);
    presenter.ShowEnd(outcome);
}

// A conversion that rendered its range shows the bar filled for a moment, also
// when the clip's pictures ended before the range did; a stopped one does not.
void MainWindow::ShowPicturesWritten(std::int64_t count, bool rangeDone)
{
    picturesFolder_ = settings_.outputFolder;
    auto* bar = controls_.Get<QProgressBar>(kIdProgressBar);
    if (rangeDone) {
        bar->setValue(kProgressSteps);
        fullBarShown_.start();
    } else {
        bar->hide();
    }
    controls_.Find(kIdTimeLeftBox)->hide();
    SetBoxText(kIdPicturesBox, services_.language.GetString(kStringPicturesWritten).arg(count));
    controls_.Find(kIdOpenFolder)->show();
}

// The count and the folder belong to the last conversion's output options and clip.
void MainWindow::HideConversionResult()
{
    fullBarShown_.stop();
    for (const int id : {kIdProgressBar, kIdTimeLeftBox, kIdPicturesBox, kIdOpenFolder})
        controls_.Find(id)->hide();
}

void MainWindow::OnOpenFolder()
{
    const QString folder = picturesFolder_;
    services_.shell.OpenUrl(QUrl::fromLocalFile(folder), this, [this, folder](int result) {
        if (Launched(result))
            return;
        const LanguagePack& language = services_.language;
        services_.messages.Show(this, language.GetString(kStringFolderNotOpened).arg(folder),
                                language.GetString(kStringError));
    });
}

QString MainWindow::HelpFile()
{
    const QString page = QStringLiteral("/help/Introduction.htm");
    const QStringList folders = DataFolderCandidates();
    for (const QString& folder : folders)
        if (QFileInfo::exists(folder + page))
            return QDir::cleanPath(folder + page);
    return folders.first() + page;
}

// Like the help viewer it stands in for, a help page that does not open is not reported.
void MainWindow::OnHelp()
{
    services_.shell.OpenUrl(QUrl::fromLocalFile(HelpFile()), this, {});
}

void MainWindow::OnHomepage()
{
    const QString address = QString::fromLatin1(kProductPage);
    services_.shell.OpenUrl(QUrl(address), this, [this, address](int result) {
        if (!Launched(result))
            services_.messages.Show(this, kBrowserNotStarted.arg(address), kBrowserNotStartedCaption);
    });
}

void MainWindow::OnAbout()
{
    AboutDialog about(services_.language, services_.shell, services_.messages, this);
    about.exec();
}

void MainWindow::OnExit()
{
    close();
}

void MainWindow::OnFont()
{
    OnFontCommand(services_.language, services_.choosers, *this);
}

bool MainWindow::CloseHandler()
{
    if (IsConverting()) {
        services_.messages.Show(this, services_.language.GetString(kStringStopConverting),
                                services_.language.GetString(kStringWarning));
        return false;
    }
    services_.profile.WriteText(ProfileNames::kOption, ProfileNames::kCurrentLanguage,
                                services_.language.GetCurrentLanguage());
    return true;
}

// Escape, the close box (through QDialog::closeEvent) and Exit end here.
void MainWindow::reject()
{
    if (CloseHandler())
        QDialog::reject();
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), backgroundBitmap);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && !TakesMouseInput(childAt(event->position().toPoint())))
        ShowLanguageMenu(event->position().toPoint());
    QDialog::mouseReleaseEvent(event);
}

// Qt hands a disabled control's mouse events to no widget at all, so a right
// click on one is caught where it reaches the window.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool drag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
                      event->type() == QEvent::Drop;
    if (drag && player_ && watched == player_->Window())
        return HandleDrag(static_cast<QDropEvent*>(event));
    if (watched == windowHandle() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const QWidget* control = childAt(mouse->position().toPoint());
        if (mouse->button() == Qt::RightButton && control && !control->isEnabled()) {
            ShowLanguageMenu(mouse->position().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A file dragged onto the window or the preview opens as Open Video opens
// it; anything else, and any drop while Open Video is disabled, is refused.
bool MainWindow::HandleDrag(QDropEvent* event)
{
    const std::optional<QString> path =
        IsConverting() ? std::nullopt : DroppedVideoPath(event->mimeData()->urls());
    if (!path || !AcceptAsCopy(*event)) {
        event->ignore();
        return true;
    }
    // Opened once the drop is over: opening closes the preview, which may be the drop's target.
    if (event->type() == QEvent::Drop)
        QMetaObject::invokeMethod(this, [this, file = *path] { OpenClip(file); }, Qt::QueuedConnection);
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    HandleDrag(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    HandleDrag(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    HandleDrag(event);
}

void MainWindow::ShowLanguageMenu(const QPoint& position)
{
    const int command = ShowLanguagePopup(services_.language, *this, position);
    if (command != 0)
        OnCommand(command);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        OnCommand(kCommandHelpKey);
        return;
    }
    QDialog::keyPressEvent(event);
}
