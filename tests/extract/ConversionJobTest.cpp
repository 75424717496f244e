#include "extract/ConversionJob.h"
#include "platform/media/ClockText.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

class ConversionJobTest : public ::testing::Test {
protected:
    ConversionJobTest()
    {
        settings.outputFolder = dir.path() + u'/';
        settings.outputWidth = 160;
        settings.outputHeight = 120;
        settings.frameRate = 25.0;
        QObject::connect(&job, &ConversionJob::StepFailed, [this](ConversionStep step, MediaResult result) {
            for (const ConversionNotice& notice : NoticesOf(step, result))
                shown.append(notice.text);
        });
        QObject::connect(&job, &ConversionJob::Finished, [this](const ConversionOutcome& end) { outcome = end; });
    }
    ClipSource Clip(const QString& path, MediaTime end) const { return {1, 1, path, 0, end, 25.0}; }
    // Waits for the end of a running conversion.
    void WaitForTheEnd()
    {
        QDeadlineTimer deadline(60000);
        while (job.IsConverting() && !deadline.hasExpired())
            QTest::qWait(10);
        ASSERT_FALSE(job.IsConverting());
    }

    QTemporaryDir dir;
    ConversionSettings settings;
    FrameGrabberCallback sampler;
    ConversionJob job{sampler};
    QStringList shown;
    std::optional<ConversionOutcome> outcome;
};

TEST_F(ConversionJobTest, RunsUntilTheRangeIsDrawnAndTellsTheOutcome)
{
    QSignalSpy running(&job, &ConversionJob::RunningChanged);
    ASSERT_TRUE(job.Start({Clip(TestClip(clips::H264Mp4()), kSecond), settings}));
    EXPECT_TRUE(job.IsConverting());
    WaitForTheEnd();
    ASSERT_EQ(running.count(), 2);
    EXPECT_TRUE(running[0][0].toBool());
    EXPECT_FALSE(running[1][0].toBool());
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->rangeDone);
    EXPECT_EQ(outcome->picturesWritten, 25);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 25);
    EXPECT_EQ(outcome->settings.outputFolder, settings.outputFolder);
    EXPECT_FALSE(outcome->streamError);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'|').toStdString();
}

TEST_F(ConversionJobTest, AStoppedRunIsNotDoneAndItsLateEndDoesNotEndTheNext)
{
    ASSERT_TRUE(job.Start({Clip(TestClip(clips::H264Mp4()), kSecond / 25), settings}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // its end is posted, not yet delivered
    job.EndConversion();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->rangeDone);
    outcome.reset();
    ASSERT_TRUE(job.Start({Clip(TestClip(clips::H264Mp4()), 3 * kSecond), settings}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(job.IsConverting());
    EXPECT_FALSE(outcome);
    job.EndConversion();
}

TEST_F(ConversionJobTest, AStreamThatCannotGoOnEndsTheJobWithItsError)
{
    const QString source = TestClip(clips::H264Mkv());
    const QString cut = dir.filePath(QStringLiteral("cut.mkv"));
    WriteFile(cut, ReadFile(source).left(ReadFile(source).size() / 3));
    ASSERT_TRUE(job.Start({Clip(cut, 2 * kSecond), settings}));
    WaitForTheEnd();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->streamError, MediaResult::EndOfData);
    EXPECT_FALSE(outcome->rangeDone);
    EXPECT_GT(outcome->picturesWritten, 0);
}

TEST_F(ConversionJobTest, PicturesThatCouldNotBeWrittenAreCountedWithTheFirstError)
{
    settings.outputFolder = dir.filePath(QStringLiteral("missing/"));
    ASSERT_TRUE(job.Start({Clip(TestClip(clips::H264Mp4()), kSecond / 5), settings}));
    WaitForTheEnd();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->failures.count, 5);
    EXPECT_TRUE(outcome->failures.firstError.startsWith(settings.outputFolder)) << outcome->failures.firstError.toStdString();
    EXPECT_EQ(outcome->picturesWritten, 0);
}

// Each step, failed through the plan: the boxes it shows in their order,
// then whether the conversion still runs.
TEST_F(ConversionJobTest, EveryFailingStepShowsItsTextsInOrder)
{
    using Step = ConversionStep;
    const QString failure = QString::fromStdString(MediaErrorText(MediaResult::Fail));
    const QString noConnection = QString::fromStdString(MediaErrorText(MediaResult::CannotConnect));
    const QString renderVideo =
        QStringLiteral("failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForVideo )");
    const QString callbackFailed = QStringLiteral("failed SetGrabberCallbackFunction();");
    // Without its picture group the first group is the sound's, which no picture passes.
    const QStringList noPictureGroup{renderVideo, noConnection};
    const struct {
        Step step;
        QStringList texts;
        bool runs;
    } cases[] = {
        {Step::CreateTimeline, {"Could not create timeline"}, false},
        {Step::CreatePictureGroup, QStringList{"Could not create empty node"} + noPictureGroup, false},
        {Step::PictureFormat, QStringList{"Could not pVideoGroup->SetMediaType(&mtGroup)"} + noPictureGroup, false},
        {Step::OutputRate, QStringList{"Could not SetOutputFPS"} + noPictureGroup, false},
        {Step::AddPictureGroup, QStringList{"Could not add video group"} + noPictureGroup, false},
        {Step::CreatePictureTrack, {"Could not create empty track"}, true},
        {Step::InsertPictureTrack, {"Could not insert track"}, true},
        {Step::CreatePictureSource, {"Could not create the timeline source"}, true},
        {Step::ConfigurePictureSource, {"Could not configure media source"}, true},
        {Step::AddPictureSource, {"Could not add source to track"}, true},
        {Step::CreateSoundGroup, {"Could not create pAudioGroupObj"}, true},
        {Step::SoundFormat, {"Could not set AudioGroupType"}, true},
        {Step::AddSoundGroup, {"Could not add audio group"}, true},
        {Step::CreateSoundTrack, {"Could not create pTrack3Obj"}, true},
        {Step::InsertSoundTrack, {"Could not insert pTrack3Obj"}, true},
        {Step::CreateSoundSource, {"Could not create the pSource3Obj"}, true},
        {Step::SoundTimes, {"Could not set audio start and eng time!"}, true},
        {Step::NameSoundSource, {"Could not configure pSource3Src"}, true},
        {Step::AddSoundSource, {"Could not add pSource3Obj to track"}, true},
        {Step::CreateExtractor, {"Could not create pRenderEngine"}, false},
        {Step::HandOverTimeline, {"Could not SetTimelineObject"}, false},
        {Step::OpenClip, {"Could not ConnectFrontEnd"}, false},
        {Step::CreateConnector, {"Could not create ICaptureGraphBuilder2"}, false},
        {Step::FetchGraph, {}, false},
        {Step::CountGroups, {"Could not GetGroupCount( &Groups )"}, false},
        {Step::AttachConnector, {"Error pBuilder->SetFiltergraph( pGraph )"}, false},
        {Step::CreatePictureEnd,
         {"CreateFilter: Failed to create filter!  hr=0x80004005\n",
          "Failed to create Null Render filter for video!  hr=0x80004005\n"},
         false},
        {Step::AddPictureEnd, {failure}, false},
        {Step::CreateSoundEnd,
         {"CreateFilter: Failed to create filter!  hr=0x80004005\n",
          "Failed to create Null Render filter for audio!  hr=0x80004005\n"},
         false},
        {Step::AddSoundEnd, {failure}, false},
        {Step::PictureOutput, {"Could not GetGroupOutputPin( g, &pPin )"}, false},
        {Step::AddSink, {failure}, false},
        {Step::ConnectPictures, {renderVideo, failure}, false},
        {Step::SetSink, {"Failed in SetCallback!  hr=0x80004005\r\n", callbackFailed, failure}, false},
        {Step::EveryFrame, {"Failed in SetOneShot!  hr=0x80004005\r\n", callbackFailed, failure}, false},
        {Step::NoSampleCopies, {"Failed in SetBufferSamples!  hr=0x80004005\r\n", callbackFailed, failure}, false},
        {Step::ConnectedFormat, {callbackFailed, failure}, false},
        {Step::SoundOutput, {"Could not GetGroupOutputPin( g, &pPin )"}, false},
        {Step::ConnectSound,
         {"failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pNullRenderFilterForAudio )", failure}, false},
        {Step::Unclocked,
         {"SetNoClock: Failed to set sync source!  hr=0x80004005\n", "failed SetNoClock", failure}, true},
        {Step::RunControl, {"Could not get pControl"}, false},
        {Step::EventQueue, {"Could not get pEvent"}, false},
        {Step::Notify, {"can not SetNotifyWindow!!!"}, false},
        {Step::Run, {"can not pControl->Run()!!!", failure}, false},
    };
    const ClipSource clip = Clip(TestClip(clips::H264Mp4()), kSecond / 5);
    for (const auto& c : cases) {
        FaultPlan faults;
        faults.Fail(c.step);
        job.SetFaultPlan(faults);
        shown.clear();
        EXPECT_EQ(job.Start({clip, settings}), c.runs) << int(c.step);
        EXPECT_EQ(job.IsConverting(), c.runs) << int(c.step);
        EXPECT_EQ(shown, c.texts) << int(c.step);
        job.EndConversion();
    }
}

TEST(StepNotices, DiagnosticsStandAloneAndTheRestGoOnTheWindow)
{
    const std::vector<ConversionNotice> notices = NoticesOf(ConversionStep::SetSink, MediaResult::OutOfMemory);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0], (ConversionNotice{false, QStringLiteral("Reelmorph"),
                                            QStringLiteral("Failed in SetCallback!  hr=0x8007000e\r\n")}));
    EXPECT_EQ(notices[1].caption, QStringLiteral("test_extract"));
    EXPECT_TRUE(notices[1].onWindow);
    EXPECT_EQ(NoticesOf(ConversionStep::CreateTimeline, MediaResult::Fail)[0].caption, QStringLiteral("Error"));
}

TEST(ClockText, CountsWholeSecondsWithoutWrappingHours)
{
    EXPECT_EQ(ClockText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(ClockText(3725), QStringLiteral("01:02:05"));
    EXPECT_EQ(ClockText(90000), QStringLiteral("25:00:00"));
}

} // namespace
