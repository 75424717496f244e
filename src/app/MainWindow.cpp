#include "app/MainWindow.h"

#include "app/AppServices.h"
#include "app/Application.h"
#include "app/MainWindowTexts.h"
#include "controls/AboutDialog.h"
#include "controls/IconButton.h"
#include "i18n/LanguageMenu.h"
#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "extract/ConversionJob.h"
#include "extract/FrameSampler.h"
#include "imaging/TemporaryBitmap.h"
#include "media/PreviewPlayer.h"
#include "platform/media/EditingServices.h"
#include "platform/media/MediaType.h"
#include "platform/profile/Profile.h"
#include "platform/shell/DataFolders.h"
#include "platform/shell/Shell.h"
#include "platform/ui/MessageService.h"
#include "resources/Resources.h"
#include "settings/ProfileNames.h"
#include "settings/SettingsStore.h"
#include "settings/StatusText.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QUrl>
#include <QWindow>


using namespace MainWindowTexts;

namespace {

constexpr int kMainTemplate = 102;

struct IconButtonSetup {
    int id;
    int icon;
    int tooltipString; // 0: the fixed tooltip below
    const char* tooltip;
};

// In the order the buttons are set up; the hidden slideshow buttons among them.
constexpr IconButtonSetup kIconButtons[] = {
    {kIdOpenVideo, kIconOpenVideo, kStringOpenVideo, ""},
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

int SetupIconButton(IconButton& button, SoundPlayer& sounds, int icon, const QString& tooltip)
{
    button.LoadButtonIcon(icon);
    button.SetHoverSound(sounds, kWaveHover);
    button.UseParentBackground();
    button.SetButtonCursor(kCursorButton);
    button.SetTooltip(tooltip, true);
    button.SetIconAlignment(IconButton::kIconAbove);
    return 1;
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
};

const QString kNoGrabber = QStringLiteral("Could not create CLSID_SampleGrabber");
const QString kNoGrabberType = QStringLiteral("Could not initialize GrabType as RGB24");
const QString kDiagnosticCaption = QStringLiteral("Reelmorph");

MainWindow::MainWindow(AppServices& services, QWidget* parent)
    : QDialog(parent, kWindowFlags), services_(services), sampler_(std::make_unique<FrameGrabberCallback>())
{
    InitDialog();
    winId();
    windowHandle()->installEventFilter(this);
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
    if (!CreateSampleGrabber())
        return;
    temporaryBitmap_ = TemporaryBitmapName(services_.messages, this, services_.language.GetString(kStringError));
    TranslateDialog(services_.language, *this, kMainTemplate);
}

void MainWindow::ConnectControls()
{
    for (auto it = controls_.All().begin(); it != controls_.All().end(); ++it)
        if (auto* button = qobject_cast<QAbstractButton*>(it.value()))
            connect(button, &QAbstractButton::clicked, this, [this, id = it.key()] { OnCommand(id); });
    auto* seekBar = controls_.Get<QSlider>(kIdSeekBar);
    JumpToClicks(*seekBar);
    connect(seekBar, &QSlider::sliderPressed, this, [] { Application::seekDragging = 1; });
    connect(seekBar, &QSlider::sliderReleased, this, [this] {
        Application::seekDragging = 0;
        OnCommand(kIdSeekBar);
    });
}

// The one grabber every conversion sends its frames through; without it the
// program cannot convert, and the window ends at once.
bool MainWindow::CreateSampleGrabber()
{
    if (Failed(services_.editing.CreateSampleGrabber(grabber_)) || !grabber_) {
        services_.messages.Show(nullptr, kNoGrabber, kDiagnosticCaption);
        usable_ = false;
        return false;
    }
    if (Failed(grabber_->SetMediaType(Rgb24GrabberType()))) {
        services_.messages.Show(nullptr, kNoGrabberType, kDiagnosticCaption);
        usable_ = false;
        return false;
    }
    job_ = std::make_unique<ConversionJob>(
        ConversionServices{services_.editing, services_.messages, services_.language, grabber_, *sampler_, this});
    connect(job_.get(), &ConversionJob::StatusTextChanged, this, &MainWindow::SetStatusText);
    connect(job_.get(), &ConversionJob::RunningChanged, this, [this](bool running) {
        running ? EnterConvertingState() : LeaveConvertingState();
    });
    return true;
}

void MainWindow::SetupIconButtons()
{
    for (const IconButtonSetup& setup : kIconButtons) {
        const QString tooltip = setup.tooltipString ? services_.language.GetString(setup.tooltipString)
                                                    : QString::fromLatin1(setup.tooltip);
        SetupIconButton(*controls_.Get<IconButton>(setup.id), services_.sounds, setup.icon, tooltip);
    }
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

int MainWindow::EnablePlaybackControls()
{
    return SetPlaybackControls(true);
}

int MainWindow::DisablePlaybackControls()
{
    return SetPlaybackControls(false);
}

int MainWindow::SetPlaybackControls(bool enabled)
{
    for (const int id : kPlaybackControls)
        SetControlEnabled(id, enabled);
    return 1;
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
    converting_ = true;
    controls_.Get<QAbstractButton>(kIdConvert)->setText(services_.language.GetDialogTextOrBuiltIn(kStringStop));
    for (const int id : kIdleOnlyControls)
        SetControlEnabled(id, false);
}

// A running job reports its own end through its signals.
void MainWindow::EndConversion()
{
    if (job_ && job_->IsConverting()) {
        job_->EndConversion();
        return;
    }
    LeaveConvertingState();
    SetStatusText(ClosingStatusText(services_.language, settings_));
}

// The clip may have been closed while the conversion ran: then Convert and
// the marks stay disabled, as they are whenever no clip is open.
void MainWindow::LeaveConvertingState()
{
    converting_ = false;
    controls_.Get<QAbstractButton>(kIdConvert)->setText(services_.language.GetDialogTextOrBuiltIn(kStringConvert));
    const bool clipOpen = clip_.facts.videoItemCount > 0;
    for (const int id : kIdleOnlyControls)
        SetControlEnabled(id, clipOpen || (id != kIdStartTime && id != kIdEndTime));
    SetControlEnabled(kIdConvert, clipOpen);
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
    const QString address = QString::fromLatin1(kHomePage);
    services_.shell.OpenUrl(QUrl(address), this, [this, address](int result) {
        if (result <= 32)
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
    if (converting_) {
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
