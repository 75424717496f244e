#include "i18n/LanguagePack.h"
#include "media/OpenVideo.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Clips made by the ffmpeg program, measured by the real probe.
class RealProbeTest : public ::testing::Test {
protected:
    std::optional<OpenedClip> Open(const QString& path)
    {
        const OpenVideoServices services{ProbeServices{FfmpegProbeFactory(), messages, language, &owner}, profile,
                                         TransitionDefaults{}, [] { return 0; }};
        return OpenVideo(services, path, clip, settings);
    }
    QString Clip(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("profile.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    QWidget owner;
    ClipState clip;
    ConversionSettings settings;
};

TEST_F(RealProbeTest, AClipOfTenPointNineSecondsAtTwentyFiveFramesCountsTenSeconds)
{
    const QString path = Clip("clip.avi");
    ASSERT_TRUE(GenerateClip(path, {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=10.9", "-c:v",
                                    "mpeg4"}));
    settings.frameRateIndex = 0;
    settings.outputFolder = QStringLiteral("/out/");
    const std::optional<OpenedClip> opened = Open(path);
    ASSERT_TRUE(opened.has_value()) << messages.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(opened->texts.position, QStringLiteral("00:00:00 / 00:00:10"));
    EXPECT_EQ(opened->texts.endTime, QStringLiteral("00:00:10"));
    EXPECT_EQ(clip.markEnd, 10 * kMediaUnitsPerSecond);
    EXPECT_NEAR(clip.audioItems[0].duration, 109 * kMediaUnitsPerSecond / 10, kMediaUnitsPerSecond / 10);
    EXPECT_NEAR(clip.facts.sourceFrameRate, 25.0, 1e-9);
    EXPECT_NEAR(settings.frameRate, 25.0, 1e-9);
    EXPECT_TRUE(opened->status.endsWith(QStringLiteral("64*48")));
}

TEST_F(RealProbeTest, AnAnimatedPictureIsMeasuredByItsDuration)
{
    const QString path = Clip("moving.GIF");
    ASSERT_TRUE(GenerateClip(path, {"-f", "lavfi", "-i", "testsrc=size=32x24:rate=10:duration=3", "-f", "gif"}));
    ASSERT_TRUE(Open(path).has_value()) << messages.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(clip.itemSeconds, 3);
    EXPECT_EQ(clip.facts.videoWidth, 32);
    EXPECT_EQ(clip.facts.videoHeight, 24);
}

TEST_F(RealProbeTest, FilesThatAreNoVideoShowTheirMessagesAndOpenNothing)
{
    const QString sound = Clip("sound.wav");
    ASSERT_TRUE(GenerateClip(sound, {"-f", "lavfi", "-i", "sine=duration=1"}));
    const QString text = Clip("text.avi");
    WriteFile(text, "this is not a video\n");
    const QString empty = Clip("empty.avi");
    WriteFile(empty, QByteArray());

    const QString cannotOpen = language.GetString(122);
    const struct {
        QString path;
        QString firstText;
    } cases[] = {
        {sound, QStringLiteral("Failed to GetVideoSize, please install appropriate video decoder")},
        {text, cannotOpen},
        {empty, cannotOpen},
        {Clip("missing.avi"), cannotOpen},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        EXPECT_FALSE(Open(c.path).has_value()) << c.path.toStdString();
        ASSERT_EQ(messages.shown.size(), 2) << c.path.toStdString();
        EXPECT_EQ(messages.shown[0].text, c.firstText);
        EXPECT_EQ(messages.shown[1].caption, QStringLiteral("Error IDS_MESSAGE_NO_DURATION"));
        EXPECT_EQ(clip.facts.videoItemCount, 0);
    }
}

} // namespace
