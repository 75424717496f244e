// The program's main task through the real main window: open a generated
// clip, mark a range, Convert, and wait for the pictures.
#include "app/MainWindow.h"
#include "media/PreviewPlayer.h"
#include "settings/ProfileNames.h"
#include "support/FakeAppServices.h"
#include "support/FfmpegReference.h"
#include "support/Frames.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

// Picture names in the order of capture: by time, then by the number that
// tells apart pictures of the same millisecond.
QStringList InCaptureOrder(QStringList names)
{
    const auto key = [](const QString& name) {
        const QString stem = name.section(u'.', 0, -2);
        return std::pair(stem.section(u'_', 0, 0), stem.section(u'_', 1).toInt());
    };
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return key(a) < key(b); });
    return names;
}

// Every frame of the clip as the ffmpeg program decodes it, scaled to the
// given size, top-down RGB24.
QList<QByteArray> FfmpegFrames(const QString& clip, const QString& scratch, int width, int height)
{
    QByteArray output;
    EXPECT_EQ(RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                         {"-nostdin", "-v", "error", "-y", "-i", clip, "-vf",
                          QStringLiteral("scale=%1:%2").arg(width).arg(height), "-fps_mode", "passthrough", "-f",
                          "rawvideo", "-pix_fmt", "rgb24", scratch},
                         &output),
              0)
        << output.toStdString();
    const QByteArray all = ReadFile(scratch);
    const qsizetype size = static_cast<qsizetype>(width) * height * 3;
    QList<QByteArray> frames;
    for (qsizetype at = 0; at + size <= all.size(); at += size)
        frames.append(all.mid(at, size));
    return frames;
}

using namespace ProfileNames;

class ConvertThroughMainWindowTest : public ::testing::Test {
protected:
    ConvertThroughMainWindowTest()
    {
        outputFolder = fake.dir.filePath(QStringLiteral("pictures"));
        fake.profile.WriteText(kSettings, kOutputPictureFolder, outputFolder);
        fake.profile.WriteText(kSettings, kOutputName, fake.dir.filePath(QStringLiteral("output.avi")));
        window = std::make_unique<MainWindow>(fake.services);
    }
    ~ConvertThroughMainWindowTest() override { window.reset(); }

    void Open(const QString& clip)
    {
        fake.choosers.files = {clip};
        window->OnCommand(kIdOpenVideo);
        ASSERT_NE(window->Player(), nullptr) << fake.messages.Texts().join(u'|').toStdString();
    }
    // Waits (bounded) for the conversion to end; a hang fails the test.
    bool WaitForEnd()
    {
        QDeadlineTimer deadline(60000);
        while (window->IsConverting() && !deadline.hasExpired())
            QTest::qWait(20);
        return !window->IsConverting();
    }
    QStringList Pictures() const { return QDir(outputFolder).entryList(QDir::Files, QDir::Name); }
    QString Text(int id) const { return window->Controls().Get<QLabel>(id)->text(); }
    QString ConvertLabel() const { return window->Controls().Get<QAbstractButton>(kIdConvert)->text(); }

    FakeAppServices fake;
    QString outputFolder;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ConvertThroughMainWindowTest, TheWholeClipBecomesOnePicturePerFrame)
{
    Open(TestClip(clips::H264Mp4()));
    EXPECT_EQ(Text(kIdEndTimeBox), QStringLiteral("00:00:03"));
    EXPECT_EQ(Text(kIdPositionBox), QStringLiteral("00:00:00 / 00:00:03"));
    EXPECT_TRUE(window->StatusText().endsWith(QStringLiteral("Resolution: 320*240")));

    window->OnCommand(kIdConvert);
    ASSERT_TRUE(window->IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(ConvertLabel(), QStringLiteral("Stop"));
    EXPECT_FALSE(window->Controls().Find(kIdOpenVideo)->isEnabled());
    ASSERT_TRUE(WaitForEnd());

    const QStringList pictures = Pictures();
    EXPECT_EQ(pictures.size(), 75); // 3 s at the clip's own 25 frames per second
    EXPECT_TRUE(pictures.value(0).startsWith(QStringLiteral("capture.")));
    EXPECT_TRUE(pictures.value(0).endsWith(QStringLiteral(".bmp")));
    EXPECT_EQ(ReadFile(outputFolder + u'/' + pictures.value(0)).size(), 54 + 960 * 240);
    EXPECT_EQ(window->StatusText(),
              QStringLiteral("Done. Output file: %1/     Resolution: 320*240").arg(outputFolder));
    EXPECT_EQ(ConvertLabel(), QStringLiteral("Convert"));
    EXPECT_TRUE(window->Controls().Find(kIdOpenVideo)->isEnabled());
    EXPECT_TRUE(fake.messages.shown.isEmpty()) << fake.messages.Texts().join(u'|').toStdString();
}

TEST_F(ConvertThroughMainWindowTest, AStoredPresetRateIsKept)
{
    fake.profile.WriteInt(kSettings, kOutputFrameRateIndex, 1);
    window = std::make_unique<MainWindow>(fake.services);
    Open(TestClip(clips::H264Mp4()));
    window->OnCommand(kIdConvert);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Pictures().size(), 72); // 3 s at 23.976 frames per second: k / 23.976 < 3 for k = 0..71
}

TEST_F(ConvertThroughMainWindowTest, AFreshProfileTurnsEveryFrameOfTheClipIntoItsOwnPicture)
{
    const QString clip = TestClip({QStringLiteral("two-and-a-half.mp4"),
                                   {"-f", "lavfi", "-i", MovingPicture(160, 120, 25, 2.5), "-c:v", "libx264",
                                    "-preset", "veryfast", "-pix_fmt", "yuv420p"}});
    const QList<QByteArray> expected = FfmpegFrames(clip, fake.dir.filePath(QStringLiteral("reference.rgb")), 160, 120);
    ASSERT_EQ(expected.size(), 63);
    Open(clip);
    EXPECT_EQ(Text(kIdEndTimeBox), QStringLiteral("00:00:02"));
    window->OnCommand(kIdConvert);
    ASSERT_TRUE(window->IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_TRUE(fake.messages.shown.isEmpty()) << fake.messages.Texts().join(u'|').toStdString();

    const QStringList pictures = InCaptureOrder(Pictures());
    ASSERT_EQ(pictures.size(), expected.size());
    QByteArray previous;
    for (int k = 0; k < pictures.size(); ++k) {
        const QByteArray picture = DecodeToRgb24(outputFolder + u'/' + pictures[k]);
        EXPECT_GE(Psnr(picture, expected[k]), 35.0) << "picture " << k;
        EXPECT_NE(picture, previous) << "picture " << k << " repeats the one before";
        previous = picture;
    }
}

// A clip whose picture starts half a second after its sound gives nothing
// for that half second: the first picture is the first frame, and the
// progress expects the pictures that are written, as many as the ffmpeg
// program makes of the range.
TEST_F(ConvertThroughMainWindowTest, NothingIsWrittenBeforeThePictureBegins)
{
    const QString clip = TestClip(clips::PictureAfterSound(QStringLiteral("mp4")));
    const std::vector<QByteArray> reference = FfmpegReferenceFrames(clip, 0, 3, 25, 320, 240);
    ASSERT_FALSE(reference.empty());
    Open(clip);
    EXPECT_EQ(Text(kIdEndTimeBox), QStringLiteral("00:00:03"));
    window->OnCommand(kIdConvert);
    ASSERT_TRUE(window->IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
    const QString expected = Text(kIdPicturesBox).section(QStringLiteral(" of "), 1);
    ASSERT_TRUE(WaitForEnd());
    const QStringList pictures = InCaptureOrder(Pictures());
    EXPECT_EQ(pictures.size(), qsizetype(reference.size()));
    EXPECT_EQ(expected.toLongLong(), pictures.size());
    ASSERT_FALSE(pictures.isEmpty());
    EXPECT_GE(Psnr(DecodeToRgb24(outputFolder + u'/' + pictures[0]), reference[0]), 35.0);
}

TEST_F(ConvertThroughMainWindowTest, AnamorphicClipsBecomePicturesOfTheirShownShape)
{
    const QString square = TestClip({QStringLiteral("square.mkv"),
                                     {"-f", "lavfi", "-i", MovingPicture(720, 576, 25, 0.4), "-c:v", "libx264",
                                      "-preset", "veryfast", "-pix_fmt", "yuv420p"}});
    const struct {
        QString clip;
        int width; // 576 rows shown at 16:9, as ffprobe's display aspect ratio says
    } cases[] = {
        {TestClip({QStringLiteral("wide-in-stream.avi"),
                   {"-f", "lavfi", "-i", MovingPicture(720, 576, 25, 0.4), "-c:v", "mpeg2video", "-aspect", "16:9"}}),
         1024},
        // Only the container says the pixels are wide.
        {TestClip({QStringLiteral("wide-in-container.mkv"), {"-i", square, "-c", "copy", "-aspect", "16:9"}}), 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip.toStdString());
        for (const QString& picture : Pictures())
            QFile::remove(outputFolder + u'/' + picture);
        Open(c.clip);
        EXPECT_TRUE(window->StatusText().endsWith(QStringLiteral(" %1*576").arg(c.width)));
        window->OnCommand(kIdConvert);
        ASSERT_TRUE(WaitForEnd());
        const QStringList pictures = InCaptureOrder(Pictures());
        ASSERT_FALSE(pictures.isEmpty()) << fake.messages.Texts().join(u'|').toStdString();
        const QList<QByteArray> expected =
            FfmpegFrames(c.clip, fake.dir.filePath(QStringLiteral("reference.rgb")), c.width, 576);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_GE(Psnr(DecodeToRgb24(outputFolder + u'/' + pictures[0]), expected[0]), 35.0);
    }
}

TEST_F(ConvertThroughMainWindowTest, EqualMarksAreRefused)
{
    Open(TestClip(clips::H264Mp4()));
    window->OnCommand(kIdStartTime);
    window->OnCommand(kIdEndTime);
    window->OnCommand(kIdConvert);
    EXPECT_FALSE(window->IsConverting());
    EXPECT_EQ(fake.messages.Texts(), QStringList{QStringLiteral("The End Time must be bigger than the Start Time")});
    EXPECT_TRUE(Pictures().isEmpty());
}

TEST_F(ConvertThroughMainWindowTest, AnExistingOutputFileCancelsOnNoAndIsDeletedOnYes)
{
    const QString outputFile = fake.dir.filePath(QStringLiteral("output.avi"));
    WriteFile(outputFile, "old");
    Open(TestClip(clips::H264Mp4()));
    fake.messages.answers = {MessageAnswer::No};
    window->OnCommand(kIdConvert);
    EXPECT_FALSE(window->IsConverting());
    EXPECT_TRUE(QFile::exists(outputFile));

    fake.messages.answers = {MessageAnswer::Yes};
    window->OnCommand(kIdConvert);
    EXPECT_FALSE(QFile::exists(outputFile));
    EXPECT_TRUE(WaitForEnd());
}

TEST_F(ConvertThroughMainWindowTest, ConvertWhileRunningStopsWithTheClosingText)
{
    Open(TestClip(clips::LongerMp4()));
    window->OnCommand(kIdConvert);
    ASSERT_TRUE(window->IsConverting());
    window->OnCommand(kIdConvert);
    EXPECT_FALSE(window->IsConverting());
    EXPECT_TRUE(window->StatusText().startsWith(QStringLiteral("Done. Output file: ")));
    EXPECT_EQ(ConvertLabel(), QStringLiteral("Convert"));
    EXPECT_LT(Pictures().size(), 100);
}

TEST_F(ConvertThroughMainWindowTest, ClosingThePreviewDropsTheClip)
{
    Open(TestClip(clips::H264Mp4()));
    window->Player()->RequestClose();
    QTest::qWait(50);
    EXPECT_EQ(window->Player(), nullptr);
    EXPECT_FALSE(window->Controls().Find(kIdConvert)->isEnabled());
    EXPECT_EQ(Text(kIdPositionBox), QString());
    window->OnCommand(kIdConvert);
    EXPECT_EQ(fake.messages.Texts(), QStringList{QStringLiteral("Open a video file")});
}

// The progress expects the pictures the range gives at the sampling interval,
// counted on from the conversion before; the end names the pictures on disk
// and opens their folder, or says that it could not.
TEST_F(ConvertThroughMainWindowTest, ProgressExpectsThePicturesTheConversionWrites)
{
    fake.profile.WriteInt(kSettings, kSamplingInterval, 4);
    window = std::make_unique<MainWindow>(fake.services);
    Open(TestClip(clips::H264Mp4()));
    for (const int conversion : {1, 2}) {
        SCOPED_TRACE(conversion);
        const qsizetype before = Pictures().size();
        window->OnCommand(kIdConvert);
        ASSERT_TRUE(window->IsConverting()) << fake.messages.Texts().join(u'|').toStdString();
        const QString expected = Text(kIdPicturesBox).section(QStringLiteral(" of "), 1);
        ASSERT_TRUE(WaitForEnd());
        const qsizetype written = Pictures().size() - before;
        EXPECT_EQ(expected.toLongLong(), written);
        EXPECT_EQ(Text(kIdPicturesBox), QStringLiteral("Pictures written: %1").arg(written));
    }
    fake.shell.openResult = kLaunchFileNotFound;
    window->OnCommand(kIdOpenFolder);
    QCoreApplication::processEvents(); // the opener's answer comes through the event loop
    ASSERT_EQ(fake.shell.opened.size(), 1);
    EXPECT_EQ(QDir(fake.shell.opened[0].toLocalFile()), QDir(outputFolder));
    EXPECT_EQ(fake.messages.Texts(),
              QStringList{QStringLiteral("The folder %1/ could not be opened.").arg(outputFolder)});
}

} // namespace
