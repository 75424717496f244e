#include "platform/media/MpvPlaybackGraph.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <functional>
#include <thread>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_NUMERIC, "C"); // mpv refuses to start otherwise
        ASSERT_EQ(services.CreatePlaybackGraph(graph), MediaResult::Ok);
        graph->SetNotify([this] { ++wakeups; });
    }

    // Polls until the condition holds; mpv works on threads of its own.
    static bool Eventually(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    MediaTime Position()
    {
        MediaTime position = -1;
        graph->GetCurrentPosition(position);
        return position;
    }

    bool Completed()
    {
        GraphEvent event;
        while (graph->GetEvent(event) == MediaResult::Ok)
            if (event.code == EC_COMPLETE)
                return true;
        return false;
    }

    MpvPlaybackServices services{PlaybackOutput::Headless};
    std::unique_ptr<PlaybackGraph> graph;
    std::atomic<int> wakeups{0};
};

TEST_F(Playback, OpensCuedAtTheStartWithItsLengthAndSize)
{
    ASSERT_EQ(graph->RenderFile(TestClip(clips::RotatedMp4()).toStdString()), MediaResult::Ok);
    MediaTime stop = 0;
    ASSERT_EQ(graph->GetStopPosition(stop), MediaResult::Ok);
    EXPECT_NEAR(double(stop) / kSecond, 2.0, 0.1);
    EXPECT_EQ(Position(), 0);
    bool visible = false;
    EXPECT_EQ(graph->GetVisible(visible), MediaResult::Ok);
    EXPECT_TRUE(visible);
    int width = 0, height = 0;
    ASSERT_EQ(graph->GetVideoSize(width, height), MediaResult::Ok);
    EXPECT_EQ(width, 180); // portrait, as the probe measures it
    EXPECT_EQ(height, 320);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(Position(), 0) << "a new graph is not started";
}

TEST_F(Playback, RunsPausesAndSeeksExactly)
{
    ASSERT_EQ(graph->RenderFile(TestClip(clips::H264Mp4()).toStdString()), MediaResult::Ok);
    ASSERT_EQ(graph->SetRate(1.0), MediaResult::Ok);
    ASSERT_EQ(graph->Run(), MediaResult::Ok);
    ASSERT_TRUE(Eventually([this] { return Position() > kSecond / 5; }));
    ASSERT_EQ(graph->Pause(), MediaResult::Ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const MediaTime paused = Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Position(), paused);

    // A frame time is reached exactly; between two frames the later one is
    // shown and its time reported, so a mark taken there names that frame.
    constexpr MediaTime kFrame = kSecond / 25;
    ASSERT_EQ(graph->SetCurrentPosition(37 * kFrame), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() == 37 * kFrame; })) << Position();
    ASSERT_EQ(graph->SetCurrentPosition(20 * kFrame + kFrame / 2), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() == 21 * kFrame; })) << Position();
    ASSERT_EQ(graph->Stop(), MediaResult::Ok);
    ASSERT_EQ(graph->SetCurrentPosition(0), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() == 0; })) << Position();
}

TEST_F(Playback, APositionReadAtOnceIsWhereTheSeekOrStepLands)
{
    ASSERT_EQ(graph->RenderFile(TestClip(clips::H264Mp4()).toStdString()), MediaResult::Ok);
    constexpr MediaTime kFrame = kSecond / 25;
    ASSERT_EQ(graph->SetCurrentPosition(30 * kFrame + kFrame / 2), MediaResult::Ok);
    EXPECT_EQ(Position(), 31 * kFrame);
    ASSERT_EQ(graph->StepFrame(FrameStep::Forward), MediaResult::Ok);
    ASSERT_EQ(graph->StepFrame(FrameStep::Forward), MediaResult::Ok);
    EXPECT_EQ(Position(), 33 * kFrame);
    ASSERT_EQ(graph->StepFrame(FrameStep::Back), MediaResult::Ok);
    EXPECT_EQ(Position(), 32 * kFrame);
}

TEST_F(Playback, ReportsTheEndOfTheStreamAndCanStartAgain)
{
    ASSERT_EQ(graph->RenderFile(TestClip(clips::Mpeg4Avi()).toStdString()), MediaResult::Ok);
    ASSERT_EQ(graph->SetCurrentPosition(kSecond + kSecond / 2), MediaResult::Ok);
    ASSERT_EQ(graph->Run(), MediaResult::Ok);
    ASSERT_TRUE(Eventually([this] { return Completed(); }));
    EXPECT_GT(wakeups.load(), 0);
    // The file stays open at its end: back to the start, cued.
    ASSERT_EQ(graph->Stop(), MediaResult::Ok);
    ASSERT_EQ(graph->SetCurrentPosition(0), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() == 0; }));
    ASSERT_EQ(graph->Run(), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() > kSecond / 10; }));
}

TEST_F(Playback, TimesOfALateStartingStreamCountFromTheStartOfTheFile)
{
    // The program stream's clock begins at 1.4 s; positions count from 0 as
    // in the probe and the render engine.
    ASSERT_EQ(graph->RenderFile(TestClip(clips::Mpeg2Mpg()).toStdString()), MediaResult::Ok);
    MediaTime stop = 0;
    ASSERT_EQ(graph->GetStopPosition(stop), MediaResult::Ok);
    EXPECT_NEAR(double(stop) / kSecond, 2.0, 0.1);
    EXPECT_LT(Position(), kSecond / 10);
    ASSERT_EQ(graph->SetCurrentPosition(kSecond), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return std::abs(Position() - kSecond) < kSecond / 25; })) << Position();
}

TEST_F(Playback, SoundAloneHasNoPicture)
{
    ASSERT_EQ(graph->RenderFile(TestClip(clips::AudioOnlyM4a()).toStdString()), MediaResult::Ok);
    bool visible = true;
    EXPECT_EQ(graph->GetVisible(visible), MediaResult::NoInterface);
    EXPECT_FALSE(visible);
    int width = 0, height = 0;
    EXPECT_EQ(graph->GetVideoSize(width, height), MediaResult::NoInterface);
    EXPECT_EQ(graph->StepFrame(FrameStep::Forward), MediaResult::NoInterface);
    ASSERT_EQ(graph->Run(), MediaResult::Ok);
    EXPECT_TRUE(Eventually([this] { return Position() > kSecond / 10; }));
}

TEST(EmbeddedPlayback, OpensFilesWithOnlyPictureOrOnlySoundBeforeAWindowIsGiven)
{
    std::setlocale(LC_NUMERIC, "C");
    MpvPlaybackServices services(PlaybackOutput::Embedded);
    for (const ClipRecipe& recipe : {clips::Mpeg4Avi(), clips::AudioOnlyM4a(), clips::H264Mp4()}) {
        std::unique_ptr<PlaybackGraph> graph;
        ASSERT_EQ(services.CreatePlaybackGraph(graph), MediaResult::Ok);
        EXPECT_EQ(graph->RenderFile(TestClip(recipe).toStdString()), MediaResult::Ok) << recipe.fileName.toStdString();
        EXPECT_EQ(graph->Run(), MediaResult::Ok); // sound goes nowhere when there is no device
        EXPECT_EQ(graph->SetVideoWindow(0), MediaResult::Ok);
    }
}

TEST_F(Playback, FilesThatCannotPlayAreRefused)
{
    const QString text = QDir::temp().filePath(QStringLiteral("text.avi"));
    WriteFile(text, QByteArray("not a video\n").repeated(50));
    for (const QString& path : {text, QDir::temp().filePath(QStringLiteral("missing.avi"))}) {
        EXPECT_TRUE(Failed(graph->RenderFile(path.toStdString()))) << path.toStdString();
        EXPECT_EQ(graph->Run(), MediaResult::WrongState);
    }
}

} // namespace
