#include "PreviewTestBench.h"

#include <functional>
#include <thread>

namespace {

const std::string kRate = "SetRate:" + std::to_string(1.0);

TEST_F(PreviewTest, OpeningShowsTheFirstFrameStopped)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(player->State(), PlayState::Stopped);
    EXPECT_EQ(Graph().path, "/clips/holiday.mp4");
    EXPECT_EQ(Graph().Count("Run"), 0);
    EXPECT_EQ(Graph().videoWindow, Window().VideoWindowId());
    EXPECT_NE(Graph().videoWindow, 0u);
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().size(), QSize(320, 240));
    EXPECT_EQ(Window().VideoWidget()->geometry(), QRect(0, 0, 320, 240));
    EXPECT_EQ(Title(), QStringLiteral("holiday.mp4  "));
    EXPECT_TRUE(Window().PositionTimer().isActive());
    EXPECT_EQ(Window().PositionTimer().interval(), 1000);
    EXPECT_FALSE(Window().CursorTimer().isActive());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(PreviewPlayerOpenTest, EachFailingBuildStepShowsItsBoxAndClosesThePlayer)
{
    const struct {
        const char* name;
        std::function<void(FakePlaybackState&)> fail;
        const char* text;
    } cases[] = {
        {"creation", [](FakePlaybackState& s) { s.create = MediaResult::OutOfMemory; },
         "FAILED(hr=0x8007000e) in CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, "
         "IID_IGraphBuilder, (void **)&pGB)\n"},
        {"render", [](FakePlaybackState& s) { s.render = MediaResult::CannotRender; },
         "Cannot play the file.  The file is either corrupt or\nthe player does not support the format you are "
         "trying to play.\nYou need to install appropriate decoders."},
        {"notify", [](FakePlaybackState& s) { s.setNotify = MediaResult::Fail; },
         "FAILED(hr=0x80004005) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), WM_GRAPHNOTIFY, 0)\n"},
        {"video window", [](FakePlaybackState& s) { s.setVideoWindow = MediaResult::Fail; },
         "FAILED(hr=0x80004005) in InitVideoWindow(1, 1)\n"},
        {"video size", [](FakePlaybackState& s) { s.videoSize = MediaResult::DecodeFault; },
         "FAILED(hr=0x80040265) in InitVideoWindow(1, 1)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlaybackServices playback;
        RecordingMessageService messages;
        QWidget owner;
        c.fail(*playback.state);
        PreviewPlayer player(PreviewServices{playback, messages, {}}, &owner);
        EXPECT_FALSE(player.Open(QStringLiteral("/clips/a.avi")));
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Reelmorph"));
        EXPECT_EQ(messages.shown[0].owner, nullptr);
        EXPECT_EQ(player.State(), PlayState::Closed);
        EXPECT_EQ(player.Window(), nullptr);
        EXPECT_EQ(player.Graph(), nullptr);
        EXPECT_FALSE(playback.state->alive);
        EXPECT_TRUE(player.ClipPath().isEmpty());
    }
}

TEST_F(PreviewTest, AFailedVisibilityQuestionIsReportedAndCountsAsVideo)
{
    Graph().visible = MediaResult::Fail;
    ASSERT_TRUE(Open());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Failed(80004005) in pVW->get_Visible()!\r\n"));
    EXPECT_FALSE(player->AudioOnly());
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(PreviewTest, SoundAloneKeepsTheWindowHiddenAndStillPlays)
{
    Graph().visible = MediaResult::NoInterface;
    ASSERT_TRUE(Open(QStringLiteral("/music/song.mp3")));
    EXPECT_TRUE(player->AudioOnly());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Graph().Count("SetVideoWindow"), 0);
    Window().ToggleFullScreen();
    EXPECT_FALSE(Window().InFullScreen());
    player->Play();
    EXPECT_EQ(player->State(), PlayState::Running);
}

TEST_F(PreviewTest, PlayPauseAndStopFollowTheStateMachine)
{
    ASSERT_TRUE(Open());
    const struct {
        const char* name;
        void (PreviewPlayer::*action)();
        PlayState state;
        const char* title;
        const char* graphCall; // the control call made, if any
        int calls;
    } steps[] = {
        {"pause while stopped", &PreviewPlayer::Pause, PlayState::Stopped, "holiday.mp4  ", "Pause", 0},
        {"stop while stopped", &PreviewPlayer::Stop, PlayState::Stopped, "holiday.mp4  ", "Stop", 0},
        {"play", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 1},
        {"play while running", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 1},
        {"pause", &PreviewPlayer::Pause, PlayState::Paused, "holiday.mp4  (Paused)", "Pause", 1},
        {"pause while paused", &PreviewPlayer::Pause, PlayState::Paused, "holiday.mp4  (Paused)", "Pause", 1},
        {"play from pause", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 2},
        {"stop", &PreviewPlayer::Stop, PlayState::Stopped, "holiday.mp4  ", "Stop", 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        (player.get()->*step.action)();
        EXPECT_EQ(player->State(), step.state);
        EXPECT_EQ(Title(), QString::fromLatin1(step.title));
        EXPECT_EQ(Graph().Count(step.graphCall), step.calls);
    }
    EXPECT_EQ(Graph().Count(kRate), 3);
}

TEST_F(PreviewTest, StopCuesTheFirstFrame)
{
    ASSERT_TRUE(Open());
    player->Play();
    player->SeekTo(4 * kMediaUnitsPerSecond);
    Graph().calls.clear();
    player->Stop();
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Stop", "Seek:0", "Pause"}));
    EXPECT_EQ(Graph().current, 0);
    EXPECT_EQ(player->State(), PlayState::Stopped);
}

TEST_F(PreviewTest, FailedPlaybackCallsLeaveTheState)
{
    ASSERT_TRUE(Open());
    Graph().run = MediaResult::Fail;
    player->Play();
    EXPECT_EQ(player->State(), PlayState::Stopped);
    Graph().run = MediaResult::Ok;
    player->Play();
    Graph().pause = MediaResult::WrongState;
    player->Pause();
    EXPECT_EQ(player->State(), PlayState::Running);
    Graph().stop = MediaResult::Fail;
    player->Stop();
    EXPECT_EQ(player->State(), PlayState::Running);
}

TEST_F(PreviewTest, SeeksKeepThePlayStateAndNeverGoBeforeTheStart)
{
    ASSERT_TRUE(Open());
    player->Play();
    EXPECT_EQ(player->SeekTo(-7), MediaResult::Ok);
    EXPECT_EQ(Graph().current, 0);
    EXPECT_EQ(player->SeekTo(1234567), MediaResult::Ok);
    EXPECT_EQ(Graph().current, 1234567);
    EXPECT_EQ(player->State(), PlayState::Running);
    Graph().setPosition = MediaResult::WrongState;
    EXPECT_EQ(player->SeekTo(5), MediaResult::WrongState);
}

TEST_F(PreviewTest, FrameStepsWorkWhileStillAndShowTheirPositionAtOnce)
{
    ASSERT_TRUE(Open());
    const int polls = refreshes;
    player->StepFrame(FrameStep::Forward);
    EXPECT_EQ(player->State(), PlayState::Paused) << "a step from the start leaves the start";
    EXPECT_EQ(player->CurrentPosition(), Graph().frame);
    EXPECT_EQ(refreshes, polls + 1);
    player->StepFrame(FrameStep::Back);
    EXPECT_EQ(player->CurrentPosition(), 0);
    player->Play();
    player->StepFrame(FrameStep::Forward);
    EXPECT_EQ(Graph().Count("StepForward"), 1) << "no step while playing";
    player->Pause();
    Graph().step = MediaResult::NoInterface;
    player->StepFrame(FrameStep::Forward);
    EXPECT_EQ(refreshes, polls + 2) << "a failed step polls nothing";
}

TEST_F(PreviewTest, APlayerWithoutAGraphIgnoresEverything)
{
    EXPECT_EQ(player->State(), PlayState::Closed);
    player->Play();
    player->Pause();
    player->Stop();
    EXPECT_EQ(player->SeekTo(100), MediaResult::Ok);
    EXPECT_FALSE(player->RefreshPositions());
    EXPECT_EQ(player->State(), PlayState::Closed);
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(Graph().graphsCreated, 0);
}

TEST_F(PreviewTest, APositionPollTellsTheMainWindowOnlyWhenItSucceeds)
{
    ASSERT_TRUE(Open());
    // Opening polls once, so the seek bar knows the length before the first tick.
    EXPECT_EQ(refreshes, 1);
    Graph().current = 3 * kMediaUnitsPerSecond;
    Graph().length = 9 * kMediaUnitsPerSecond;
    EXPECT_TRUE(player->RefreshPositions());
    EXPECT_EQ(player->CurrentPosition(), 3 * kMediaUnitsPerSecond);
    EXPECT_EQ(player->StopPosition(), 9 * kMediaUnitsPerSecond);
    EXPECT_EQ(refreshes, 2);

    Graph().current = 4 * kMediaUnitsPerSecond;
    Graph().getCurrent = MediaResult::Fail;
    EXPECT_FALSE(player->RefreshPositions());
    EXPECT_EQ(player->CurrentPosition(), 3 * kMediaUnitsPerSecond);
    EXPECT_EQ(refreshes, 2);

    // The position timer polls the same way.
    Graph().getCurrent = MediaResult::Ok;
    QMetaObject::invokeMethod(const_cast<QTimer*>(&Window().PositionTimer()), "timeout");
    EXPECT_EQ(player->CurrentPosition(), 4 * kMediaUnitsPerSecond);
    EXPECT_EQ(refreshes, 3);
}

TEST_F(PreviewTest, TheEndOfTheClipReturnsToTheStartStoppedOnTheUserInterfaceThread)
{
    ASSERT_TRUE(Open());
    player->Play();
    player->SeekTo(9 * kMediaUnitsPerSecond);
    std::thread streaming([this] {
        Graph().PostEvent(EC_USERABORT);
        Graph().PostEvent(EC_COMPLETE);
    });
    streaming.join();
    EXPECT_EQ(player->State(), PlayState::Running); // nothing runs on the graph's thread
    ProcessPosted();
    EXPECT_EQ(player->State(), PlayState::Stopped);
    EXPECT_EQ(Graph().current, 0);
    EXPECT_TRUE(Graph().events.empty());
}

TEST_F(PreviewTest, OtherEventsDoNotStopPlayback)
{
    ASSERT_TRUE(Open());
    player->Play();
    Graph().PostEvent(EC_ERRORABORT);
    ProcessPosted();
    EXPECT_EQ(player->State(), PlayState::Running);
}

TEST_F(PreviewTest, TheCloseBoxAsksTheMainWindowAndKeepsTheWindow)
{
    ASSERT_TRUE(Open());
    Window().close();
    EXPECT_EQ(closeRequests, 0); // posted, as the main window deletes the player in answer
    EXPECT_TRUE(Window().isVisible());
    ProcessPosted();
    EXPECT_EQ(closeRequests, 1);
    ASSERT_NE(player->Window(), nullptr);

    Window().RunMenuCommand(kCommandClose);
    ProcessPosted();
    EXPECT_EQ(closeRequests, 2);
}

TEST_F(PreviewTest, ClosingDetachesTheGraphBeforeTheWindowGoes)
{
    ASSERT_TRUE(Open());
    player->Play();
    Graph().calls.clear();
    player->Close();
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Stop", "DetachVideoWindow", "ClearNotify"}));
    EXPECT_FALSE(Graph().alive);
    EXPECT_EQ(player->Window(), nullptr);
    EXPECT_EQ(player->State(), PlayState::Closed);
    EXPECT_TRUE(player->ClipPath().isEmpty());
    EXPECT_TRUE(player->AudioOnly());
}

TEST_F(PreviewTest, PostedWorkForADeletedPlayerIsDropped)
{
    ASSERT_TRUE(Open());
    GraphNotify notify = Graph().notify;
    Window().close();
    notify();
    player.reset();
    EXPECT_FALSE(Graph().alive);
    ProcessPosted();
    EXPECT_EQ(closeRequests, 0);
}

} // namespace
