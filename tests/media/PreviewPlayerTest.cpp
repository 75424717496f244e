#include "PreviewTestBench.h"

#include <QSignalSpy>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

TEST_F(PreviewTest, TheWindowShowsTheFirstFrameStoppedOnceTheGraphHasOpenedTheFile)
{
    ASSERT_TRUE(player->Open(QStringLiteral("/clips/holiday.mp4")));
    EXPECT_EQ(Graph().calls, std::vector<std::string>{"Open"});
    EXPECT_EQ(Graph().path, "/clips/holiday.mp4");
    EXPECT_EQ(player->State(), PlayState::Stopped);
    EXPECT_FALSE(Window().isVisible());
    EXPECT_FALSE(Window().PositionTimer().isActive());

    LiveGraph().FinishOpen();
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
    // The seek bar learns the length before the first tick.
    EXPECT_EQ(player->StopPosition(), 10 * kSecond);
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(PreviewPlayerOpenTest, AGraphThatCannotBeMadeOrAFileThatCannotPlayShowsItsBoxAndClosesThePlayer)
{
    const struct {
        const char* name;
        MediaResult create;
        bool opens; // Open succeeds, and the graph fails later
        const char* text;
    } cases[] = {
        {"creation", MediaResult::OutOfMemory, false,
         "FAILED(hr=0x8007000e) in CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, "
         "IID_IGraphBuilder, (void **)&pGB)\n"},
        {"file", MediaResult::Ok, true,
         "Cannot play the file.  The file is either corrupt or\nthe player does not support the format you are "
         "trying to play.\nYou need to install appropriate decoders."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlaybackServices playback;
        RecordingMessageService messages;
        QWidget owner;
        playback.state->create = c.create;
        PreviewPlayer player(PreviewServices{playback, messages, {}}, &owner);
        QSignalSpy failed(&player, &PreviewPlayer::OpenFailed);
        EXPECT_EQ(player.Open(QStringLiteral("/clips/a.avi")), c.opens);
        if (c.opens) {
            Q_EMIT playback.state->graph->OpenFailed();
            EXPECT_TRUE(messages.shown.isEmpty()) << "the box waits until the graph's signal is done";
            QCoreApplication::processEvents();
            EXPECT_EQ(failed.count(), 1);
        }
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Reelmorph"));
        EXPECT_EQ(messages.shown[0].owner, nullptr);
        EXPECT_EQ(player.State(), PlayState::Closed);
        EXPECT_EQ(player.Window(), nullptr);
        EXPECT_EQ(player.Graph(), nullptr);
        EXPECT_EQ(playback.state->graph, nullptr);
        EXPECT_TRUE(player.ClipPath().isEmpty());
    }
}

TEST_F(PreviewTest, SoundAloneKeepsTheWindowHiddenAndStillPlays)
{
    ASSERT_TRUE(player->Open(QStringLiteral("/music/song.mp3")));
    LiveGraph().FinishOpen(false);
    EXPECT_TRUE(player->AudioOnly());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Graph().Count("SetVideoWindow"), 0);
    Window().ToggleFullScreen();
    EXPECT_FALSE(Window().InFullScreen());
    player->StepFrame(FrameStep::Forward);
    EXPECT_EQ(Graph().Count("StepForward"), 0);
    EXPECT_TRUE(player->Settled());
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
        const char* graphCall; // the call made, if any
        int calls;
    } steps[] = {
        {"pause while stopped", &PreviewPlayer::Pause, PlayState::Stopped, "holiday.mp4  ", "Pause", 0},
        {"stop while stopped", &PreviewPlayer::Stop, PlayState::Stopped, "holiday.mp4  ", "Seek:0", 0},
        {"play", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 1},
        {"play while running", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 1},
        {"pause", &PreviewPlayer::Pause, PlayState::Paused, "holiday.mp4  (Paused)", "Pause", 1},
        {"pause while paused", &PreviewPlayer::Pause, PlayState::Paused, "holiday.mp4  (Paused)", "Pause", 1},
        {"play from pause", &PreviewPlayer::Play, PlayState::Running, "holiday.mp4  ", "Run", 2},
        {"stop", &PreviewPlayer::Stop, PlayState::Stopped, "holiday.mp4  ", "Seek:0", 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        (player.get()->*step.action)();
        EXPECT_EQ(player->State(), step.state);
        EXPECT_EQ(Title(), QString::fromLatin1(step.title));
        EXPECT_EQ(Graph().Count(step.graphCall), step.calls);
    }
}

TEST_F(PreviewTest, StopCuesTheFirstFrame)
{
    ASSERT_TRUE(Open());
    player->Play();
    player->SeekTo(4 * kSecond);
    LiveGraph().Land();
    Graph().calls.clear();
    player->Stop();
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Pause", "Seek:0"}));
    EXPECT_EQ(player->State(), PlayState::Stopped);
    LiveGraph().Land();
    EXPECT_EQ(player->CurrentPosition(), 0);
}

TEST_F(PreviewTest, SeeksKeepThePlayStateAndNeverGoBeforeTheStart)
{
    ASSERT_TRUE(Open());
    player->Play();
    player->SeekTo(-7);
    player->SeekTo(1234567);
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Open", "SetVideoWindow", "Run", "Seek:0", "Seek:1234567"}));
    EXPECT_EQ(player->State(), PlayState::Running);
}

// The picture a seek or step goes to is on screen only once the graph says
// so; until then the position is not yet that picture's.
TEST_F(PreviewTest, ASeekOrStepSettlesWhenItsPictureIsOnScreen)
{
    ASSERT_TRUE(Open());
    QSignalSpy settled(player.get(), &PreviewPlayer::PictureSettled);
    EXPECT_TRUE(player->Settled()) << "the first picture is at the start";
    const struct {
        const char* name;
        std::function<void()> ask;
        MediaTime landed;
    } cases[] = {
        {"seek", [this] { player->SeekTo(3 * kSecond); }, 3 * kSecond},
        {"step on", [this] { player->StepFrame(FrameStep::Forward); }, 3 * kSecond + FakePlaybackGraph::kFrame},
        {"two steps back",
         [this] {
             player->StepFrame(FrameStep::Back);
             player->StepFrame(FrameStep::Back);
         },
         3 * kSecond - FakePlaybackGraph::kFrame},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MediaTime before = player->CurrentPosition();
        const int polls = refreshes;
        settled.clear();
        c.ask();
        EXPECT_FALSE(player->Settled());
        EXPECT_EQ(player->CurrentPosition(), before);
        EXPECT_EQ(settled.count(), 0);
        LiveGraph().Land();
        EXPECT_TRUE(player->Settled());
        EXPECT_EQ(player->CurrentPosition(), c.landed);
        EXPECT_EQ(settled.count(), 1);
        EXPECT_EQ(refreshes, polls + 1) << "the position box shows where it landed";
    }
    EXPECT_EQ(player->State(), PlayState::Paused) << "a step from the start leaves the start";
    player->Play();
    player->StepFrame(FrameStep::Forward);
    EXPECT_EQ(Graph().Count("StepForward"), 1) << "no step while playing";
    EXPECT_TRUE(player->Settled());
}

TEST_F(PreviewTest, APlayerWithoutAGraphIgnoresEverything)
{
    EXPECT_EQ(player->State(), PlayState::Closed);
    player->Play();
    player->Pause();
    player->Stop();
    player->SeekTo(100);
    player->StepFrame(FrameStep::Forward);
    player->RefreshPositions();
    EXPECT_EQ(player->State(), PlayState::Closed);
    EXPECT_TRUE(player->Settled());
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(Graph().graphsCreated, 0);
}

TEST_F(PreviewTest, PositionsReachTheMainWindowAtEachTickOfThePositionTimer)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(refreshes, 1);
    Q_EMIT LiveGraph().LengthChanged(9 * kSecond);
    Q_EMIT LiveGraph().PositionChanged(3 * kSecond);
    EXPECT_EQ(player->StopPosition(), 9 * kSecond);
    EXPECT_EQ(player->CurrentPosition(), 3 * kSecond);
    EXPECT_EQ(refreshes, 2) << "a playing position waits for the tick";
    QMetaObject::invokeMethod(const_cast<QTimer*>(&Window().PositionTimer()), "timeout");
    EXPECT_EQ(refreshes, 3);
}

TEST_F(PreviewTest, TheEndOfTheClipReturnsToTheStartStopped)
{
    ASSERT_TRUE(Open());
    player->Play();
    Graph().calls.clear();
    Q_EMIT LiveGraph().EndOfFile();
    EXPECT_EQ(player->State(), PlayState::Stopped);
    EXPECT_EQ(Graph().calls, (std::vector<std::string>{"Pause", "Seek:0"}));
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

TEST_F(PreviewTest, ClosingReleasesTheGraphBeforeTheWindowGoes)
{
    ASSERT_TRUE(Open());
    player->Play();
    player->Close();
    EXPECT_EQ(Graph().graph, nullptr);
    EXPECT_TRUE(Graph().windowAliveAtRelease);
    EXPECT_EQ(player->Window(), nullptr);
    EXPECT_EQ(player->State(), PlayState::Closed);
    EXPECT_TRUE(player->ClipPath().isEmpty());
    EXPECT_TRUE(player->AudioOnly());
}

TEST_F(PreviewTest, PostedWorkForADeletedPlayerIsDropped)
{
    ASSERT_TRUE(Open());
    Q_EMIT LiveGraph().OpenFailed();
    Window().close();
    player.reset();
    EXPECT_EQ(Graph().graph, nullptr);
    ProcessPosted();
    EXPECT_EQ(closeRequests, 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
