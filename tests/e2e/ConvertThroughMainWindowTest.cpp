// The program's main task through the real main window: open a generated
// clip, mark a range, Convert, and wait for the pictures.
#include "app/MainWindow.h"
#include "media/PreviewPlayer.h"
#include "settings/ProfileNames.h"
#include "support/FakeAppServices.h"
#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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
    // 3 s at the default output rate of 23.976 frames per second: k / 23.976 < 3 for k = 0..71.
    EXPECT_EQ(pictures.size(), 72);
    EXPECT_TRUE(pictures.value(0).startsWith(QStringLiteral("capture.")));
    EXPECT_TRUE(pictures.value(0).endsWith(QStringLiteral(".bmp")));
    EXPECT_EQ(ReadFile(outputFolder + u'/' + pictures.value(0)).size(), 54 + 960 * 240);
    EXPECT_EQ(window->StatusText(),
              QStringLiteral("Done. Output file: %1/     Resolution: 320*240").arg(outputFolder));
    EXPECT_EQ(ConvertLabel(), QStringLiteral("Convert"));
    EXPECT_TRUE(window->Controls().Find(kIdOpenVideo)->isEnabled());
    EXPECT_TRUE(fake.messages.shown.isEmpty()) << fake.messages.Texts().join(u'|').toStdString();
}

TEST_F(ConvertThroughMainWindowTest, TheOriginalFrameRateFollowsTheClip)
{
    fake.profile.WriteInt(kSettings, kOutputFrameRateIndex, 0);
    window = std::make_unique<MainWindow>(fake.services);
    Open(TestClip(clips::H264Mp4()));
    window->OnCommand(kIdConvert);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Pictures().size(), 75); // 3 s at the clip's 25 frames per second
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

} // namespace
