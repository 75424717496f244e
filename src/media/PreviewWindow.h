#pragma once

#include "media/PreviewPlayer.h"

#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <memory>

class QMenu;

// Commands of the preview window's right-click menu (menu 134).
enum PreviewCommand : int {
    kCommandFullScreen = 32771,
    kCommandNormalSize = 32772,
    kCommandPlay = 32773,
    kCommandPause = 32774,
    kCommandStop = 32775,
    kCommandClose = 32776,
};

// The popup window a clip plays in, beside the main window. The picture is
// drawn into a native child widget; mouse and keyboard input on it reaches
// this window. The window announces what the user asks for to its player.
class PreviewWindow final : public QWidget {
    Q_OBJECT

public:
    PreviewWindow(PreviewPlayer& player, QWidget* ownerWindow, MillisecondClock clock);
    ~PreviewWindow() override;
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // The native window the graph draws into.
    NativeWindowId VideoWindowId();
    QWidget* VideoWidget() const { return video_; }

    // Shows the window with a picture and gives it the focus; without a
    // picture the window stays hidden.
    void ShowVideo(bool hasVideo);
    // Hides the window for good, leaving full screen first.
    void HideForClose();

    // The window sized to numerator ÷ denominator of the picture, or as
    // much of it as the work area holds, keeping its shape; nothing while the
    // picture's size is unknown.
    void NormalSize(int numerator, int denominator);
    // The player has learnt the picture's size: the window takes it, or in
    // full screen the picture takes its place.
    void FitVideo();
    // False, and the window as it was, while the picture's size is unknown.
    bool EnterFullScreen();
    void LeaveFullScreen();
    void ToggleFullScreen();
    // Left click: alternates which of the two windows is in front.
    void SwitchFront();

    void StartPositionTimer();
    void StopCursorTimer();
    // Cursor timer tick: hides the cursor after the idle time in full screen.
    void CheckCursor();

    // Menu 134, checked and grayed for the current state; owned by the caller.
    std::unique_ptr<QMenu> CreateContextMenu();
    void RunMenuCommand(int command);

    bool InFullScreen() const { return fullScreen_; }
    bool WindowShown() const { return windowShown_; }
    bool CursorHidden() const { return cursorHidden_; }
    bool OwnerTopmost() const { return ownerTopmost_; }
    bool PreviewInFront() const { return previewInFront_; }
    const QTimer& CursorTimer() const { return cursorTimer_; }
    const QTimer& PositionTimer() const { return positionTimer_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize ScreenSize() const;
    QMargins FrameMargins() const;
    bool Framed() const;
    void FitToWorkArea(const QSize& wanted);
    void FitWhenFramed();
    void PlaceVideo();
    void NoteMouseActivity();
    void ShowCursorAgain();
    void HideCursor();
    void ShowContextMenu(const QPoint& position);

    PreviewPlayer& player_;
    QWidget* ownerWindow_;
    MillisecondClock clock_;
    QWidget* video_;              // child, deleted with the window
    QTimer cursorTimer_;          // timer 1
    QTimer positionTimer_;        // timer 2
    QRect savedRect_;             // the window before full screen
    QSize pendingFit_;            // fitted with a guessed frame; none when done
    std::uint32_t lastActivity_ = 0;
    bool fullScreen_ = false;
    bool windowShown_ = false;
    bool cursorHidden_ = false;
    bool ownerTopmost_ = true;    // alternates the main window in full screen
    bool previewInFront_ = true;  // alternates the two windows otherwise
};
