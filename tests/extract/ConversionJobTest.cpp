#include "FakeEditingServices.h"

#include "extract/ConversionJob.h"
#include "extract/FrameSampler.h"
#include "i18n/LanguagePack.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConversionJobTest : public ::testing::Test {
protected:
    ConversionJobTest()
    {
        clip = {1, 1, QStringLiteral("/c.mp4"), QStringLiteral("/c.mp4"), 0, 20'000'000, 25.0};
        settings.outputFolder = dir.path() + u'/';
        settings.outputWidth = 640;
        settings.outputHeight = 480;
        settings.frameRate = 25.0;
        settings.outputFilePath = dir.filePath(QStringLiteral("output.avi"));
        QObject::connect(&job, &ConversionJob::StatusTextChanged, [this](const QString& text) { status = text; });
    }
    FakeGraph& Graph() { return *editing.lastGraph; }
    void Deliver(GraphEvent event)
    {
        Graph().Post(event);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("p.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    FakeEditingServices editing;
    std::shared_ptr<SampleGrabber> grabber = [this] {
        std::shared_ptr<SampleGrabber> created;
        editing.CreateSampleGrabber(created);
        return created;
    }();
    FrameGrabberCallback sampler;
    ClipSource clip;
    ConversionSettings settings;
    QString status;
    ConversionJob job{ConversionServices{editing, messages, language, grabber, sampler, nullptr}};
};

const QString kDone = QStringLiteral("Done. Output file: %1/     Resolution: 640*480");

TEST_F(ConversionJobTest, ConvertRunsUntilTheGraphReportsTheEnd)
{
    QSignalSpy running(&job, &ConversionJob::RunningChanged);
    job.Convert({clip, settings});
    ASSERT_TRUE(job.IsConverting());
    ASSERT_EQ(running.count(), 1);
    EXPECT_TRUE(running[0][0].toBool());
    EXPECT_TRUE(Graph().running);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.Texts().join(u'|').toStdString();

    Deliver({42, 0, 0});
    EXPECT_TRUE(job.IsConverting());
    Deliver({EC_COMPLETE, 0, 0});
    EXPECT_FALSE(job.IsConverting());
    EXPECT_FALSE(running.last()[0].toBool());
    EXPECT_EQ(status, kDone.arg(dir.path()));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ConversionJobTest, PressingConvertAgainStopsWithTheSameClosingText)
{
    job.Convert({clip, settings});
    job.Convert({clip, settings});
    EXPECT_FALSE(job.IsConverting());
    EXPECT_FALSE(Graph().running);
    EXPECT_EQ(status, kDone.arg(dir.path()));
}

TEST_F(ConversionJobTest, TheChecksRunInOrderAndEachEndsTheCommand)
{
    ClipSource none = clip;
    none.videoItemCount = 0;
    none.markEnd = 0;
    job.Convert({none, settings});
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Open a video file")});
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));

    ClipSource equal = clip;
    equal.markEnd = equal.markStart;
    job.Convert({equal, settings});
    EXPECT_EQ(messages.Texts().last(), QStringLiteral("The End Time must be bigger than the Start Time"));
    EXPECT_EQ(messages.shown.last().caption, QStringLiteral("test_extract"));
    EXPECT_FALSE(job.IsConverting());
    EXPECT_EQ(editing.lastGraph, nullptr);
}

TEST_F(ConversionJobTest, AnExistingOutputFileIsKeptOnNoAndDeletedOnYes)
{
    WriteFile(settings.outputFilePath, "old");
    messages.answers = {MessageAnswer::No};
    job.Convert({clip, settings});
    EXPECT_FALSE(job.IsConverting());
    EXPECT_TRUE(QFileInfo::exists(settings.outputFilePath));
    EXPECT_EQ(messages.shown[0].text, settings.outputFilePath + QStringLiteral(" exists. Do you want to replace it?"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);

    messages.answers = {MessageAnswer::Yes};
    job.Convert({clip, settings});
    EXPECT_TRUE(job.IsConverting());
    EXPECT_FALSE(QFileInfo::exists(settings.outputFilePath));
}

TEST_F(ConversionJobTest, AnImplausibleClipRateIsQuestionedOnlyForTheOriginalRate)
{
    clip.sourceFrameRate = 1000.0;
    settings.frameRateIndex = 0;
    settings.frameRate = 1000.0;
    messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    job.Convert({clip, settings});
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("The output frame rate is 1000.000000.The value")));
    ASSERT_TRUE(job.IsConverting());
    EXPECT_DOUBLE_EQ(editing.lastTimeline->Groups().at(0).outputFps, 23.976);
    job.EndConversion();
    // The answer held for that conversion only: the next one asks again.
    job.Convert({clip, settings});
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_DOUBLE_EQ(editing.lastTimeline->Groups().at(0).outputFps, 1000.0);
    job.EndConversion();

    settings.frameRateIndex = 2;
    settings.frameRate = 1000.0;
    messages.shown.clear();
    job.Convert({clip, settings});
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ConversionJobTest, AFailedBuildLeavesTheJobIdle)
{
    editing.faults.Fail("Run");
    QSignalSpy running(&job, &ConversionJob::RunningChanged);
    job.Convert({clip, settings});
    EXPECT_FALSE(job.IsConverting());
    EXPECT_EQ(running.count(), 0);
    EXPECT_EQ(messages.Texts().first(), QStringLiteral("can not pControl->Run()!!!"));
}

TEST_F(ConversionJobTest, AFatalStreamErrorEndsTheJobAndNamesTheError)
{
    job.Convert({clip, settings});
    Deliver({EC_ERRORABORT, static_cast<long>(ResultCode(MediaResult::ReadFault)), 0});
    EXPECT_FALSE(job.IsConverting());
    EXPECT_EQ(status, kDone.arg(dir.path()));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("The conversion ended early: ") +
                                          QString::fromStdString(MediaErrorText(MediaResult::ReadFault)));
}

TEST_F(ConversionJobTest, PicturesThatCouldNotBeWrittenAreReportedOnceAtTheEnd)
{
    settings.outputFolder = dir.filePath(QStringLiteral("missing/"));
    job.Convert({clip, settings});
    SampleGrabberCallback* callback = grabber->Callback();
    ASSERT_NE(callback, nullptr);
    for (const double sampleTime : {0.0, 0.04})
        if (callback->KeepsFrame())
            callback->SampleCB(sampleTime, DrawnPicture::Black(callback->Layout(), 321, 240));
    Deliver({EC_COMPLETE, 0, 0});
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("2 of the pictures could not be written to ") +
                                                  settings.outputFolder))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Warning"));
}

TEST(ClockText, CountsWholeSecondsWithoutWrappingHours)
{
    EXPECT_EQ(ClockText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(ClockText(3725), QStringLiteral("01:02:05"));
    EXPECT_EQ(ClockText(90000), QStringLiteral("25:00:00"));
}

} // namespace
