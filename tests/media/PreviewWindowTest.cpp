#include "PreviewTestBench.h"

#include "media/PreviewGeometry.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>

namespace {

void Release(QWidget& widget, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)), button,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void MoveMouse(QWidget& widget)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(7, 7), widget.mapToGlobal(QPointF(7, 7)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void ReleaseKey(QWidget& widget, int key)
{
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

QSize ScreenSize(const QWidget& widget)
{
    return widget.screen()->geometry().size();
}

TEST_F(PreviewTest, TheWindowStartsAboveTheMainWindowWithItsOwnCaption)
{
    owner.setGeometry(300, 400, 500, 200);
    PreviewWindow window(*player, &owner, [] { return 0u; });
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Video Window"));
    EXPECT_FALSE(window.isVisible());
    const QRect expected = InitialPreviewRect(owner.screen()->availableGeometry(), owner.frameGeometry());
    EXPECT_EQ(window.geometry(), expected);
    EXPECT_TRUE(window.VideoWidget()->testAttribute(Qt::WA_NativeWindow));
}

TEST_F(PreviewTest, FullScreenPlacesThePictureAndEscapeGoesBack)
{
    ASSERT_TRUE(player->Open(QStringLiteral("/clips/holiday.mp4")));
    LiveGraph().FinishOpen(true, 10 * kMediaUnitsPerSecond, QSize(100, 80));
    Window().move(40, 30);
    const QRect windowed = Window().geometry();

    Window().ToggleFullScreen();
    ASSERT_TRUE(Window().InFullScreen());
    EXPECT_TRUE(Window().isFullScreen());
    EXPECT_EQ(Window().VideoWidget()->geometry(), FullScreenVideoRect(ScreenSize(Window()), QSize(100, 80)));
    EXPECT_TRUE(Window().CursorTimer().isActive());
    EXPECT_EQ(Window().CursorTimer().interval(), 50000);

    ReleaseKey(Window(), Qt::Key_Escape);
    EXPECT_FALSE(Window().InFullScreen());
    EXPECT_FALSE(Window().isFullScreen());
    EXPECT_EQ(Window().geometry(), windowed);
    EXPECT_EQ(Window().VideoWidget()->geometry(), QRect(QPoint(0, 0), windowed.size()));
    EXPECT_FALSE(Window().CursorTimer().isActive());
}

TEST_F(PreviewTest, NormalSizeLeavesFullScreenAndSizesToThePicture)
{
    ASSERT_TRUE(Open());
    Window().resize(500, 500);
    Window().RunMenuCommand(kCommandFullScreen);
    ASSERT_TRUE(Window().InFullScreen());
    Window().RunMenuCommand(kCommandNormalSize);
    EXPECT_FALSE(Window().InFullScreen());
    EXPECT_EQ(Window().size(), QSize(320, 240));
    EXPECT_EQ(Window().VideoWidget()->geometry(), QRect(0, 0, 320, 240));
}

TEST_F(PreviewTest, APictureOfUnknownSizeStaysWindowedUntilItsSizeIsKnown)
{
    ASSERT_TRUE(player->Open(QStringLiteral("/clips/holiday.mp4")));
    Q_EMIT LiveGraph().Opened(true);
    const QRect windowed = Window().geometry();
    EXPECT_FALSE(Window().EnterFullScreen());
    EXPECT_FALSE(Window().isFullScreen());
    Window().NormalSize(1, 1);
    EXPECT_EQ(Window().geometry(), windowed);

    Q_EMIT LiveGraph().VideoSizeChanged(QSize(200, 150));
    EXPECT_EQ(Window().size(), QSize(200, 150));
    ASSERT_TRUE(Window().EnterFullScreen());
    Q_EMIT LiveGraph().VideoSizeChanged(QSize(100, 80));
    EXPECT_TRUE(Window().InFullScreen());
    EXPECT_EQ(Window().VideoWidget()->geometry(), FullScreenVideoRect(ScreenSize(Window()), QSize(100, 80)));
}

TEST_F(PreviewTest, TheCursorHidesAfterAHundredIdleSecondsInFullScreen)
{
    ASSERT_TRUE(Open());
    Window().CheckCursor();
    EXPECT_FALSE(Window().CursorHidden());
    ASSERT_TRUE(Window().EnterFullScreen());
    now += kCursorIdleMilliseconds;
    Window().CheckCursor();
    EXPECT_FALSE(Window().CursorHidden());
    now += 1;
    Window().CheckCursor();
    EXPECT_TRUE(Window().CursorHidden());
    EXPECT_EQ(Window().cursor().shape(), Qt::BlankCursor);

    MoveMouse(*Window().VideoWidget()); // input on the picture reaches the window
    EXPECT_FALSE(Window().CursorHidden());
    now += kCursorIdleMilliseconds;
    Window().CheckCursor();
    EXPECT_FALSE(Window().CursorHidden()); // the move counted as activity

    now += 1;
    Window().CheckCursor();
    ASSERT_TRUE(Window().CursorHidden());
    Window().LeaveFullScreen();
    EXPECT_FALSE(Window().CursorHidden());
}

TEST_F(PreviewTest, StoppingEndsTheCursorTimer)
{
    ASSERT_TRUE(Open());
    player->Play();
    ASSERT_TRUE(Window().EnterFullScreen());
    player->Stop();
    EXPECT_FALSE(Window().CursorTimer().isActive());
}

TEST_F(PreviewTest, TheMenuIsCheckedAndGrayedByState)
{
    ASSERT_TRUE(Open());
    const auto enabled = [this](int command, bool fullScreen) {
        const std::unique_ptr<QMenu> menu = Window().CreateContextMenu();
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == kCommandFullScreen) {
                EXPECT_EQ(action->isChecked(), fullScreen);
            }
            if (action->data().toInt() == command)
                return action->isEnabled();
        }
        ADD_FAILURE() << "no command " << command;
        return false;
    };
    const struct {
        void (PreviewPlayer::*action)();
        bool play;
        bool pause;
        bool stop;
    } cases[] = {
        {&PreviewPlayer::Stop, true, false, false},
        {&PreviewPlayer::Play, false, true, true},
        {&PreviewPlayer::Pause, true, false, true},
    };
    for (const auto& c : cases) {
        (player.get()->*c.action)();
        EXPECT_EQ(enabled(kCommandPlay, false), c.play);
        EXPECT_EQ(enabled(kCommandPause, false), c.pause);
        EXPECT_EQ(enabled(kCommandStop, false), c.stop);
        EXPECT_TRUE(enabled(kCommandNormalSize, false));
        EXPECT_TRUE(enabled(kCommandClose, false));
    }
    ASSERT_TRUE(Window().EnterFullScreen());
    EXPECT_TRUE(enabled(kCommandFullScreen, true));

    const std::unique_ptr<QMenu> menu = Window().CreateContextMenu();
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(texts, (QStringList{"Full screen", "Normal size", "-", "Play", "Pause", "Stop", "-", "Close"}));
}

TEST_F(PreviewTest, MenuCommandsReachThePlayer)
{
    ASSERT_TRUE(Open());
    Window().RunMenuCommand(kCommandPlay);
    EXPECT_EQ(player->State(), PlayState::Running);
    Window().RunMenuCommand(kCommandPause);
    EXPECT_EQ(Title(), QStringLiteral("holiday.mp4  (Paused)"));
    Window().RunMenuCommand(kCommandStop);
    EXPECT_EQ(player->State(), PlayState::Stopped);
}

TEST_F(PreviewTest, LeftClicksAlternateTheWindowInFront)
{
    owner.show();
    ASSERT_TRUE(Open());
    EXPECT_TRUE(Window().PreviewInFront());
    Release(Window(), Qt::LeftButton);
    EXPECT_FALSE(Window().PreviewInFront());
    Release(Window(), Qt::LeftButton);
    EXPECT_TRUE(Window().PreviewInFront());

    ASSERT_TRUE(Window().EnterFullScreen());
    EXPECT_TRUE(Window().OwnerTopmost());
    Release(*Window().VideoWidget(), Qt::LeftButton);
    EXPECT_FALSE(Window().OwnerTopmost());
    EXPECT_TRUE(owner.isVisible()); // lowered: hiding a modal main window would end its dialog loop
    Release(Window(), Qt::LeftButton);
    EXPECT_TRUE(Window().OwnerTopmost());
    EXPECT_TRUE(Window().PreviewInFront()); // untouched in full screen
}

TEST_F(PreviewTest, ClosingInFullScreenLeavesItFirst)
{
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Window().EnterFullScreen());
    QPointer<PreviewWindow> window(player->Window());
    player->Close();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Graph().graph, nullptr);
}

} // namespace
