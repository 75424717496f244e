#include "i18n/LanguagePack.h"
#include "media/OpenVideo.h"
#include "platform/profile/Profile.h"
#include "support/RecordingMessageService.h"
#include "support/TestFiles.h"

#include <QMap>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// What ffprobe reports about a file: "-show_entries" keys and their values.
QMap<QString, QString> Ffprobe(const QString& path, const QString& entries)
{
    QByteArray output;
    EXPECT_EQ(RunProgram(QStringLiteral("ffprobe"),
                         {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries", entries, "-of",
                          "default=noprint_wrappers=1", path},
                         &output),
              0)
        << output.toStdString();
    QMap<QString, QString> facts;
    for (const QString& line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts))
        facts.insert(line.section(u'=', 0, 0), line.section(u'=', 1).trimmed());
    return facts;
}

double Ratio(const QString& text)
{
    return text.section(u':', 0, 0).toDouble() / text.section(u':', 1, 1).toDouble();
}

// Clips made by the ffmpeg program, measured by the real probe.
class RealProbeTest : public ::testing::Test {
protected:
    std::optional<OpenedClip> Open(const QString& path)
    {
        const OpenVideoServices services{ProbeServices{FfmpegProbeFactory(), messages, language, &owner}, profile};
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

TEST_F(RealProbeTest, TheWholeClipIsMarkedWhileTheBoxesCountWholeSeconds)
{
    const struct {
        const char* name;
        const char* seconds;
        const char* shown;
    } cases[] = {{"long.avi", "10.9", "00:00:10"}, {"short.avi", "0.8", "00:00:00"}};
    settings.frameRateIndex = 0;
    settings.outputFolder = QStringLiteral("/out/");
    for (const auto& c : cases) {
        const QString path = Clip(c.name);
        ASSERT_TRUE(GenerateClip(path, {"-f", "lavfi", "-i",
                                        QStringLiteral("testsrc=size=64x48:rate=25:duration=%1").arg(c.seconds),
                                        "-c:v", "mpeg4"}));
        const double length =
            Ffprobe(path, QStringLiteral("format=duration")).value(QStringLiteral("duration")).toDouble();
        const std::optional<OpenedClip> opened = Open(path);
        ASSERT_TRUE(opened.has_value()) << messages.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(opened->texts.position, QStringLiteral("00:00:00 / ") + QLatin1String(c.shown));
        EXPECT_EQ(opened->texts.endTime, QLatin1String(c.shown));
        EXPECT_NEAR(clip.markEnd, length * kMediaUnitsPerSecond, 10) << c.seconds; // ffprobe prints microseconds
        EXPECT_NEAR(clip.audio.duration, length * kMediaUnitsPerSecond, 10);
        EXPECT_NEAR(clip.facts.sourceFrameRate, 25.0, 1e-9);
        EXPECT_NEAR(settings.frameRate, 25.0, 1e-9);
        EXPECT_TRUE(opened->status.endsWith(QStringLiteral("64*48")));
    }
}

TEST_F(RealProbeTest, AnamorphicClipsTakeTheSizeTheyAreShownAt)
{
    const struct {
        const char* name;
        QStringList options;
    } cases[] = {
        {"pal-wide.mpg",
         {"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=0.4", "-c:v", "mpeg2video", "-aspect", "16:9"}},
        {"ntsc-narrow.mkv",
         {"-f", "lavfi", "-i", "testsrc=size=720x480:rate=30000/1001:duration=0.4", "-c:v", "libx264", "-aspect",
          "4:3"}},
    };
    settings.outputFolder = QStringLiteral("/out/");
    for (const auto& c : cases) {
        const QString path = Clip(c.name);
        ASSERT_TRUE(GenerateClip(path, c.options));
        const QMap<QString, QString> facts = Ffprobe(path, QStringLiteral("stream=height,display_aspect_ratio"));
        const int height = facts.value(QStringLiteral("height")).toInt();
        const double shownAspect = Ratio(facts.value(QStringLiteral("display_aspect_ratio")));
        const int width = static_cast<int>(std::lround(height * shownAspect));
        const std::optional<OpenedClip> opened = Open(path);
        ASSERT_TRUE(opened.has_value()) << c.name;
        EXPECT_EQ(clip.facts.videoWidth, width) << c.name;
        EXPECT_EQ(clip.facts.videoHeight, height) << c.name;
        EXPECT_EQ(settings.outputWidth, width) << c.name;
        EXPECT_EQ(settings.outputHeight, height) << c.name;
        EXPECT_TRUE(opened->status.endsWith(QStringLiteral(" %1*%2").arg(width).arg(height)))
            << opened->status.toStdString();
    }
}

TEST_F(RealProbeTest, TheClipsRateIsItsFramesOverItsLength)
{
    // Two frames in a container that counts time in milliseconds.
    const QString path = Clip("two.asf");
    ASSERT_TRUE(GenerateClip(path, {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25", "-frames:v", "2", "-c:v",
                                    "wmv2"}));
    const QMap<QString, QString> facts = Ffprobe(path, QStringLiteral("stream=nb_read_frames,duration"));
    const double rate = facts.value(QStringLiteral("nb_read_frames")).toDouble() /
                        facts.value(QStringLiteral("duration")).toDouble();
    settings.frameRateIndex = 0;
    ASSERT_TRUE(Open(path).has_value()) << messages.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_NEAR(clip.facts.sourceFrameRate, rate, 1e-6);
    EXPECT_NEAR(settings.frameRate, rate, 1e-6);
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
