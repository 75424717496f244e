#include "media/PreviewWindow.h"

#include "media/MediaTexts.h"
#include "media/PlaybackControls.h"
#include "media/PreviewGeometry.h"
#include "resources/Resources.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <array>

namespace {

struct MenuEntry {
    const char* text;             // nullptr: a separator
    int command;
};

// Menu 134, the single popup "PREVIEW".
constexpr std::array<MenuEntry, 8> kPreviewMenu{{
    {"Full screen", kCommandFullScreen},
    {"Normal size", kCommandNormalSize},
    {nullptr, 0},
    {"Play", kCommandPlay},
    {"Pause", kCommandPause},
    {"Stop", kCommandStop},
    {nullptr, 0},
    {"Close", kCommandClose},
}};

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                         | Qt::WindowCloseButtonHint;

void PaintBlack(QWidget& widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QWidget* CreateVideoWidget(QWidget& parent)
{
    auto* video = new QWidget(&parent);
    // The graph draws into a window of its own; Qt must not paint over it.
    video->setAttribute(Qt::WA_NativeWindow);
    video->setAttribute(Qt::WA_OpaquePaintEvent);
    video->setMouseTracking(true);
    PaintBlack(*video);
    return video;
}

// Above the main window; a main window at the very top leaves a sliver that
// the first picture size replaces.
QRect FirstRect(const QWidget* ownerWindow)
{
    const QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
    const QRect workArea = screen->availableGeometry();
    const QRect ownerRect = ownerWindow ? ownerWindow->frameGeometry() : QRect(workArea.bottomLeft(), QSize());
    const QRect rect = InitialPreviewRect(workArea, ownerRect);
    return QRect(rect.topLeft(), rect.size().expandedTo(QSize(1, 1)));
}

void EnableFor(QMenu& menu, int command, bool enabled)
{
    for (QAction* action : menu.actions()) {
        if (action->data().toInt() == command)
            action->setEnabled(enabled);
    }
}

} // namespace

PreviewWindow::PreviewWindow(PreviewPlayer& player, QWidget* ownerWindow, MillisecondClock clock)
    : QWidget(nullptr, kWindowFlags), player_(player), ownerWindow_(ownerWindow), clock_(std::move(clock)),
      video_(CreateVideoWidget(*this))
{
    setWindowTitle(MediaTexts::kPreviewInitialCaption);
    setWindowIcon(LoadIconResource(kIconApplication));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    PaintBlack(*this);
    setGeometry(FirstRect(ownerWindow));
    cursorTimer_.setInterval(kCursorTimerMilliseconds);
    positionTimer_.setInterval(kPositionTimerMilliseconds);
    connect(&cursorTimer_, &QTimer::timeout, this, &PreviewWindow::CheckCursor);
    connect(&positionTimer_, &QTimer::timeout, this, [this] { player_.RefreshPositions(); });
    ConnectFrameStepShortcuts(*this, [this](FrameStep step) { player_.StepFrame(step); });
}

PreviewWindow::~PreviewWindow() = default;

NativeWindowId PreviewWindow::VideoWindowId()
{
    return static_cast<NativeWindowId>(video_->winId());
}

void PreviewWindow::ShowVideo(bool hasVideo)
{
    if (!hasVideo) {
        hide();
        return;
    }
    windowShown_ = true;
    show();
    raise();
    activateWindow();
    setFocus();
}

void PreviewWindow::HideForClose()
{
    hide();
    video_->hide();
    if (fullScreen_) {
        windowShown_ = false;
        LeaveFullScreen();
    }
}

void PreviewWindow::NormalSize(int numerator, int denominator)
{
    if (fullScreen_ && windowShown_)
        LeaveFullScreen();
    if (!player_.VideoSize().isEmpty())
        FitToWorkArea(ScaledVideoSize(player_.VideoSize(), numerator, denominator));
}

void PreviewWindow::FitVideo()
{
    if (fullScreen_)
        PlaceVideo();
    else
        NormalSize(1, 1);
}

// Until the window manager has framed the window its frame is a guess, and
// the window is fitted again once the frame is known.
void PreviewWindow::FitToWorkArea(const QSize& wanted)
{
    setGeometry(FitInWorkArea(geometry(), wanted, screen()->availableGeometry(), FrameMargins()));
    video_->setGeometry(rect());
    pendingFit_ = Framed() ? QSize() : wanted;
}

void PreviewWindow::FitWhenFramed()
{
    if (pendingFit_.isValid() && Framed() && !fullScreen_)
        FitToWorkArea(pendingFit_);
}

bool PreviewWindow::Framed() const
{
    return windowHandle() && !windowHandle()->frameMargins().isNull();
}

// A picture whose size is not known stays windowed rather than leaving a
// screen-sized window that Escape would not undo.
bool PreviewWindow::EnterFullScreen()
{
    if (!player_.Graph() || player_.VideoSize().isEmpty())
        return false;
    savedRect_ = geometry();
    showFullScreen();
    video_->setGeometry(FullScreenVideoRect(ScreenSize(), player_.VideoSize()));
    lastActivity_ = clock_();
    cursorTimer_.start();
    fullScreen_ = true;
    ownerTopmost_ = true;
    return true;
}

void PreviewWindow::LeaveFullScreen()
{
    if (!fullScreen_)
        return;
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setGeometry(savedRect_);
    setVisible(windowShown_);
    cursorTimer_.stop();
    ShowCursorAgain();
    lastActivity_ = clock_();
    fullScreen_ = false;
    if (ownerWindow_) {
        ownerWindow_->show();
        ownerWindow_->raise();
    }
    PlaceVideo();
}

void PreviewWindow::ToggleFullScreen()
{
    if (player_.AudioOnly() || !player_.Graph())
        return;
    if (fullScreen_)
        LeaveFullScreen();
    else
        EnterFullScreen();
}

// The main window is lowered rather than hidden: hiding a modal dialog would
// end its dialog loop.
void PreviewWindow::SwitchFront()
{
    if (!player_.Graph() || !ownerWindow_)
        return;
    if (fullScreen_) {
        if (ownerTopmost_) {
            ownerWindow_->lower();
        } else {
            ownerWindow_->show();
            ownerWindow_->raise();
        }
        ownerTopmost_ = !ownerTopmost_;
        return;
    }
    ownerWindow_->show();
    if (previewInFront_)
        raise();
    else
        ownerWindow_->raise();
    previewInFront_ = !previewInFront_;
}

void PreviewWindow::StartPositionTimer()
{
    positionTimer_.start();
}

void PreviewWindow::StopCursorTimer()
{
    cursorTimer_.stop();
}

void PreviewWindow::CheckCursor()
{
    if (fullScreen_ && CursorIdleExpired(clock_(), lastActivity_))
        HideCursor();
}

std::unique_ptr<QMenu> PreviewWindow::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>();
    for (const MenuEntry& entry : kPreviewMenu) {
        if (!entry.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.command);
        if (entry.command == kCommandFullScreen) {
            action->setCheckable(true);
            action->setChecked(fullScreen_);
        }
    }
    const PlayState state = player_.State();
    EnableFor(*menu, kCommandPause, state != PlayState::Stopped && state != PlayState::Paused);
    EnableFor(*menu, kCommandStop, state != PlayState::Stopped);
    EnableFor(*menu, kCommandPlay, state != PlayState::Running);
    return menu;
}

void PreviewWindow::RunMenuCommand(int command)
{
    switch (command) {
    case kCommandFullScreen: ToggleFullScreen(); break;
    case kCommandNormalSize: NormalSize(1, 1); break;
    case kCommandPlay: player_.Play(); break;
    case kCommandPause: player_.Pause(); break;
    case kCommandStop: player_.Stop(); break;
    case kCommandClose: close(); break;
    default: break;
    }
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    // The main window drops the clip, and with it this window.
    event->ignore();
    player_.RequestClose();
}

void PreviewWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && fullScreen_) {
        LeaveFullScreen();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void PreviewWindow::mouseMoveEvent(QMouseEvent* event)
{
    NoteMouseActivity();
    QWidget::mouseMoveEvent(event);
}

void PreviewWindow::mouseReleaseEvent(QMouseEvent* event)
{
    NoteMouseActivity();
    if (event->button() == Qt::LeftButton) {
        SwitchFront();
    } else if (event->button() == Qt::RightButton) {
        ShowContextMenu(event->position().toPoint());
    } else {
        QWidget::mouseReleaseEvent(event);
    }
}

// The window manager has framed the window by the time it makes it active.
void PreviewWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        FitWhenFramed();
}

void PreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceVideo();
}

QSize PreviewWindow::ScreenSize() const
{
    return screen()->geometry().size();
}

// The window manager frames this window only after it is shown; until then
// the main window's frame stands in for its own.
QMargins PreviewWindow::FrameMargins() const
{
    const QWidget* framed = Framed() || !ownerWindow_ ? this : ownerWindow_;
    return framed->windowHandle() ? framed->windowHandle()->frameMargins() : QMargins();
}

// The picture fills the window, or takes its full-screen place.
void PreviewWindow::PlaceVideo()
{
    if (!windowShown_)
        return;
    video_->setGeometry(fullScreen_ ? FullScreenVideoRect(ScreenSize(), player_.VideoSize()) : rect());
}

void PreviewWindow::NoteMouseActivity()
{
    if (!fullScreen_)
        return;
    ShowCursorAgain();
    lastActivity_ = clock_();
}

void PreviewWindow::ShowCursorAgain()
{
    if (!cursorHidden_)
        return;
    unsetCursor();
    video_->unsetCursor();
    cursorHidden_ = false;
}

void PreviewWindow::HideCursor()
{
    if (cursorHidden_)
        return;
    setCursor(Qt::BlankCursor);
    video_->setCursor(Qt::BlankCursor);
    cursorHidden_ = true;
}

void PreviewWindow::ShowContextMenu(const QPoint& position)
{
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    const QPointer<PreviewWindow> self(this);
    const QAction* chosen = menu->exec(mapToGlobal(position));
    // The clip may have been closed while the menu was open.
    if (self && chosen)
        RunMenuCommand(chosen->data().toInt());
    if (self)
        ownerTopmost_ = true;
}
