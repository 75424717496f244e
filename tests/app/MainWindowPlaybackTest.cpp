#include "app/MainWindow.h"
#include "media/PreviewPlayer.h"
#include "settings/ProfileNames.h"
#include "support/FakeAppServices.h"
#include "support/FakePlaybackGraph.h"
#include "support/TestClips.h"

#include <QLabel>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;
const QString kMarksOutOfOrder = QStringLiteral("The End Time must be bigger than the Start Time");

// The main window with a real 3 s clip on a playback graph whose seeks land
// when the test says.
class MainWindowPlaybackTest : public ::testing::Test {
protected:
    MainWindowPlaybackTest()
    {
        fake.profile.WriteText(ProfileNames::kSettings, ProfileNames::kOutputPictureFolder,
                               fake.dir.filePath(QStringLiteral("pictures")));
        window = std::make_unique<MainWindow>(services);
        fake.choosers.files = {TestClip(clips::H264Mp4())};
        window->OnCommand(kIdOpenVideo);
        Graph().FinishOpen(true, 3 * kSecond);
    }
    FakePlaybackGraph& Graph() { return *playback.state->graph; }
    QString Text(int id) const { return window->Controls().Get<QLabel>(id)->text(); }
    // The seek bar released at two thirds: the clip goes to 2 s.
    void SeekToTwoSeconds()
    {
        window->Controls().Get<QSlider>(kIdSeekBar)->setValue(400);
        window->OnCommand(kIdSeekBar);
    }

    FakeAppServices fake;
    FakePlaybackServices playback;
    AppServices services{fake.profile,  fake.language, fake.messages, fake.knownFolders, fake.shell,
                         fake.choosers, fake.sounds,   playback,          FfmpegProbeFactory()};
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowPlaybackTest, AMarkPressedBeforeASeekLandsTakesThePictureItLandsOn)
{
    SeekToTwoSeconds();
    window->OnCommand(kIdStartTime);
    EXPECT_EQ(Text(kIdStartTimeBox), QStringLiteral("00:00:00"));
    Graph().Land();
    EXPECT_EQ(Text(kIdStartTimeBox), QStringLiteral("00:00:02"));
    EXPECT_EQ(window->Controls().Find(kIdStartTimeBox)->toolTip(), QStringLiteral("00:00:02.000, frame 50"));
    EXPECT_EQ(Text(kIdPositionBox), QStringLiteral("00:00:02 / 00:00:03"));
}

// Without waiting, the marks would still be 0 and 3 s, and a conversion would start.
TEST_F(MainWindowPlaybackTest, ConvertPressedBeforeTheMarksLandConvertsWithThem)
{
    SeekToTwoSeconds();
    window->OnCommand(kIdStartTime);
    window->OnCommand(kIdEndTime);
    window->OnCommand(kIdConvert);
    EXPECT_FALSE(window->IsConverting());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
    Graph().Land();
    EXPECT_FALSE(window->IsConverting());
    EXPECT_EQ(fake.messages.Texts(), QStringList{kMarksOutOfOrder});
}

TEST_F(MainWindowPlaybackTest, ClosingTheClipDropsTheMarksAndConvertThatWait)
{
    SeekToTwoSeconds();
    window->OnCommand(kIdEndTime);
    window->OnCommand(kIdConvert);
    window->OnCommand(kIdCloseClip);
    EXPECT_EQ(window->Player(), nullptr);
    fake.choosers.files = {TestClip(clips::H264Mp4())};
    window->OnCommand(kIdOpenVideo);
    Graph().Land();
    EXPECT_EQ(Text(kIdEndTimeBox), QStringLiteral("00:00:03"));
    EXPECT_FALSE(window->IsConverting());
    EXPECT_TRUE(fake.messages.shown.isEmpty());
}

// The seek bar works at once, before the player has learnt the clip's length
// from the file: the length measured when the clip was opened stands until then.
TEST_F(MainWindowPlaybackTest, TheSeekBarWorksBeforeThePlayerKnowsTheLength)
{
    fake.choosers.files = {TestClip(clips::H264Mp4())};
    window->OnCommand(kIdOpenVideo);
    SeekToTwoSeconds();
    EXPECT_EQ(playback.state->Count("Seek:20000000"), 1);
}

TEST_F(MainWindowPlaybackTest, AFileThePlayerCannotPlayIsDropped)
{
    Q_EMIT Graph().OpenFailed();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Player(), nullptr);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Cannot play the file.")));
}

} // namespace
