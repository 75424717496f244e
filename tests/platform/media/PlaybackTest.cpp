#include "platform/media/MpvPlaybackGraph.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;
constexpr MediaTime kFrame = kSecond / 25;

// A headless graph and what it has signalled, each signal checked to arrive
// on the graph's own thread.
class Playback : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_NUMERIC, "C"); // mpv refuses to start otherwise
        CreatedPlaybackGraph created = services.CreatePlaybackGraph();
        ASSERT_EQ(created.result, MediaResult::Ok);
        graph = std::move(created.graph);
        Record(&PlaybackGraph::Opened, [this](bool hasVideo) { opened = hasVideo; });
        Record(&PlaybackGraph::OpenFailed, [this] { failed = true; });
        Record(&PlaybackGraph::LengthChanged, [this](MediaTime value) { length = value; });
        Record(&PlaybackGraph::VideoSizeChanged, [this](QSize value) { size = value; });
        Record(&PlaybackGraph::PositionChanged, [this](MediaTime value) { position = value; });
        Record(&PlaybackGraph::SeekFinished, [this](MediaTime value) { landed.push_back(value); });
        Record(&PlaybackGraph::EndOfFile, [this] { ++ends; });
    }
    void TearDown() override { EXPECT_TRUE(onOwnThread) << "a signal came on another thread"; }

    template <typename Signal, typename Slot>
    void Record(Signal signal, Slot slot)
    {
        QObject::connect(graph.get(), signal, graph.get(), [this, slot](auto... values) {
            onOwnThread = onOwnThread && QThread::currentThread() == graph->thread();
            slot(values...);
        });
    }

    // mpv works on threads of its own; its news comes through the event loop.
    static bool Eventually(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }

    bool Open(const ClipRecipe& recipe)
    {
        graph->Open(TestClip(recipe).toStdString());
        return Eventually([this] { return opened.has_value(); });
    }
    // Where the seeks and steps asked for since the last landing land, together.
    std::optional<MediaTime> Landing()
    {
        const std::size_t before = landed.size();
        if (!Eventually([this, before] { return landed.size() > before; }))
            return std::nullopt;
        QTest::qWait(50);
        EXPECT_EQ(landed.size(), before + 1) << "one report for what was asked at once";
        return landed.back();
    }

    MpvPlaybackServices services{PlaybackOutput::Headless};
    std::unique_ptr<PlaybackGraph> graph;
    bool onOwnThread = true;
    std::optional<bool> opened;
    bool failed = false;
    MediaTime length = -1;
    QSize size;
    MediaTime position = -1;
    std::vector<MediaTime> landed;
    int ends = 0;
};

TEST_F(Playback, OpensPausedAtTheStartWithItsLengthAndSize)
{
    ASSERT_TRUE(Open(clips::RotatedMp4()));
    EXPECT_TRUE(*opened);
    ASSERT_TRUE(Eventually([this] { return length > 0 && size.isValid(); }));
    EXPECT_NEAR(double(length) / kSecond, 2.0, 0.1);
    EXPECT_EQ(size, QSize(180, 320)); // portrait, as the probe measures it
    QTest::qWait(200);
    EXPECT_EQ(position, 0) << "a new graph is not started";
}

TEST_F(Playback, RunsPausesAndSeeksExactly)
{
    ASSERT_TRUE(Open(clips::H264Mp4()));
    graph->Run();
    ASSERT_TRUE(Eventually([this] { return position > kSecond / 5; }));
    graph->Pause();
    QTest::qWait(100);
    const MediaTime paused = position;
    QTest::qWait(300);
    EXPECT_EQ(position, paused);

    // A frame time is reached exactly; between two frames the later one is
    // shown and its time reported, so a mark taken there names that frame.
    const struct {
        MediaTime target;
        MediaTime shown;
    } seeks[] = {{37 * kFrame, 37 * kFrame}, {20 * kFrame + kFrame / 2, 21 * kFrame}, {0, 0}};
    for (const auto& seek : seeks) {
        graph->Seek(seek.target);
        EXPECT_EQ(Landing(), seek.shown) << seek.target;
        EXPECT_EQ(position, seek.shown);
    }
}

// mpv takes one seek at a time; what is asked for meanwhile waits its turn,
// and a later seek makes what waits moot.
TEST_F(Playback, SeeksAndStepsAskedForAtOnceLandInTurn)
{
    ASSERT_TRUE(Open(clips::H264Mp4()));
    const struct {
        const char* name;
        std::function<void()> ask;
        MediaTime shown;
    } cases[] = {
        {"a seek and two steps on",
         [this] {
             graph->Seek(30 * kFrame + kFrame / 2);
             graph->StepFrame(FrameStep::Forward);
             graph->StepFrame(FrameStep::Forward);
         },
         33 * kFrame},
        {"a step back", [this] { graph->StepFrame(FrameStep::Back); }, 32 * kFrame},
        {"seeks replacing the waiting ones",
         [this] {
             graph->Seek(10 * kFrame);
             graph->StepFrame(FrameStep::Forward);
             graph->Seek(60 * kFrame);
             graph->Seek(45 * kFrame);
         },
         45 * kFrame},
    };
    for (const auto& c : cases) {
        c.ask();
        EXPECT_EQ(Landing(), c.shown) << c.name;
    }
}

TEST_F(Playback, ReportsTheEndOfTheStreamAndCanStartAgain)
{
    ASSERT_TRUE(Open(clips::Mpeg4Avi()));
    graph->Seek(kSecond + kSecond / 2);
    ASSERT_TRUE(Landing());
    graph->Run();
    ASSERT_TRUE(Eventually([this] { return ends > 0; }));
    // The file stays open at its end: back to the start, cued.
    graph->Pause();
    graph->Seek(0);
    EXPECT_EQ(Landing(), 0);
    graph->Run();
    EXPECT_TRUE(Eventually([this] { return position > kSecond / 10; }));
}

TEST_F(Playback, TimesOfALateStartingStreamCountFromTheStartOfTheFile)
{
    // The program stream's clock begins at 1.4 s; positions count from 0 as
    // in the probe and the render engine.
    ASSERT_TRUE(Open(clips::Mpeg2Mpg()));
    ASSERT_TRUE(Eventually([this] { return length > 0; }));
    EXPECT_NEAR(double(length) / kSecond, 2.0, 0.1);
    EXPECT_LT(position, kSecond / 10);
    graph->Seek(kSecond);
    const std::optional<MediaTime> shown = Landing();
    ASSERT_TRUE(shown);
    EXPECT_LT(std::abs(*shown - kSecond), kFrame) << *shown;
}

TEST_F(Playback, SoundAloneHasNoPictureToStep)
{
    ASSERT_TRUE(Open(clips::AudioOnlyM4a()));
    EXPECT_FALSE(*opened);
    graph->StepFrame(FrameStep::Forward);
    EXPECT_EQ(Landing(), 0);
    graph->Run();
    EXPECT_TRUE(Eventually([this] { return position > kSecond / 10; }));
    EXPECT_FALSE(size.isValid());
}

TEST_F(Playback, FilesThatCannotPlayAreRefused)
{
    const QString text = QDir::temp().filePath(QStringLiteral("text.avi"));
    WriteFile(text, QByteArray("not a video\n").repeated(50));
    for (const QString& path : {text, QDir::temp().filePath(QStringLiteral("missing.avi"))}) {
        failed = false;
        graph->Open(path.toStdString());
        EXPECT_TRUE(Eventually([this] { return failed; })) << path.toStdString();
        EXPECT_FALSE(opened.has_value());
    }
}

TEST(EmbeddedPlayback, OpensFilesWithOnlyPictureOrOnlySoundBeforeAWindowIsGiven)
{
    std::setlocale(LC_NUMERIC, "C");
    MpvPlaybackServices services(PlaybackOutput::Embedded);
    for (const ClipRecipe& recipe : {clips::Mpeg4Avi(), clips::AudioOnlyM4a(), clips::H264Mp4()}) {
        const std::unique_ptr<PlaybackGraph> graph = services.CreatePlaybackGraph().graph;
        ASSERT_NE(graph, nullptr);
        bool opened = false;
        QObject::connect(graph.get(), &PlaybackGraph::Opened, [&opened] { opened = true; });
        graph->Open(TestClip(recipe).toStdString());
        EXPECT_TRUE(QTest::qWaitFor([&opened] { return opened; }, 20000)) << recipe.fileName.toStdString();
        graph->Run(); // sound goes nowhere when there is no device
        graph->SetVideoWindow(0);
    }
}

} // namespace
