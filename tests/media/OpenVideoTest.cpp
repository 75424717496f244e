#include "i18n/LanguagePack.h"
#include "media/OpenVideo.h"
#include "platform/profile/Profile.h"
#include "settings/ProfileNames.h"
#include "support/FakeProbeGraph.h"
#include "support/RecordingMessageService.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;

struct ExpectedBox {
    QString text;
    QString caption;
    bool onMainWindow;
};

// A main window's clip state with an earlier clip open, and its services.
struct OpenVideoBench {
    OpenVideoBench()
    {
        // An earlier clip that a failed open must not disturb beyond the source list.
        clip.facts = ClipFacts{640, 480, 30.0, 1};
        clip.video.path = QStringLiteral("/old/clip.avi");
        clip.audio = AudioItem{QStringLiteral("/old/clip.avi"), 7 * kSecond};
        clip.audioItemCount = 1;
        clip.markStart = 2 * kSecond;
        clip.markEnd = 5 * kSecond;
        settings.outputWidth = 1024;
        settings.outputHeight = 768;
        settings.outputFolder = QStringLiteral("/pictures/");
    }

    OpenVideoServices Services()
    {
        return OpenVideoServices{ProbeServices{probes, messages, language, &owner}, profile};
    }
    std::optional<OpenedClip> Open(const QString& path) { return OpenVideo(Services(), path, clip, settings); }
    FakeProbeScript& Script() { return *probes.script; }
    QString LastPhotoFolder() const
    {
        return profile.GetText(ProfileNames::kOption, ProfileNames::kLastPhotoFolder, QStringLiteral("unset"));
    }

    QTemporaryDir dir;
    Profile profile{dir.filePath(QStringLiteral("profile.ini"))};
    RecordingMessageService messages;
    LanguagePack language{profile, messages};
    FakeProbeFactory probes;
    QWidget owner;
    ClipState clip;
    ConversionSettings settings;
};

class OpenVideoTest : public ::testing::Test, protected OpenVideoBench {};

TEST_F(OpenVideoTest, EachFailingProbeStepShowsItsBoxThenTheOpenVideoBox)
{
    const ExpectedBox noDuration{QStringLiteral("Can not get the duration of the clip!Cannot open the file. You need "
                                                "to install appropriate decoders. Or the file is corrupt."),
                                 QStringLiteral("Error IDS_MESSAGE_NO_DURATION"), true};
    const auto box = [](const char* text) { return ExpectedBox{QString::fromLatin1(text), "Error", true}; };
    const struct {
        const char* name;
        const char* path;
        std::function<void(FakeProbeFactory&)> fail;
        ExpectedBox first;
    } cases[] = {
        {"creation", "/v/a.avi", [](FakeProbeFactory& f) { f.failCreation = true; },
         box("Failed to CoCreateInstance")},
        {"render", "/v/a.avi", [](FakeProbeFactory& f) { f.script->render = MediaResult::CannotRender; },
         ExpectedBox{QStringLiteral("Cannot open the file. You need to install appropriate decoders. Or the file is "
                                    "corrupt."),
                     QStringLiteral("Error IDS_MESSAGE_NOT_OPEN_FILE"), false}},
        {"stop position", "/v/a.avi", [](FakeProbeFactory& f) { f.script->stopPosition = MediaResult::Fail; },
         box("Failed to GetStopPosition")},
        {"gif duration", "/v/a.gif", [](FakeProbeFactory& f) { f.script->duration = MediaResult::NotImplemented; },
         box("Failed to GetStopPosition")},
        {"no video", "/v/a.wav", [](FakeProbeFactory& f) { f.script->videoSize = MediaResult::NoInterface; },
         box("Failed to GetVideoSize, please install appropriate video decoder")},
        {"frame time", "/v/a.avi", [](FakeProbeFactory& f) { f.script->frameTime = MediaResult::Fail; },
         box("Failed to get_AvgTimePerFrame")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenVideoBench fixture;
        c.fail(fixture.probes);
        EXPECT_FALSE(fixture.Open(QString::fromLatin1(c.path)).has_value());

        const QList<Message>& shown = fixture.messages.shown;
        ASSERT_EQ(shown.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const ExpectedBox& expected = i == 0 ? c.first : noDuration;
            EXPECT_EQ(shown[i].text, expected.text);
            EXPECT_EQ(shown[i].caption, expected.caption);
            EXPECT_EQ(shown[i].owner, expected.onMainWindow ? &fixture.owner : nullptr);
        }
        // The old clip is no longer a source; everything else stays.
        const ClipState& left = fixture.clip;
        EXPECT_EQ(left.facts.videoItemCount, 0);
        EXPECT_EQ(left.audioItemCount, 0);
        EXPECT_EQ(left.video.path, QString::fromLatin1(c.path));
        EXPECT_EQ(left.facts.videoWidth, 640);
        EXPECT_DOUBLE_EQ(left.facts.sourceFrameRate, 30.0);
        EXPECT_EQ(left.markEnd, 5 * kSecond);
        EXPECT_EQ(left.audio.path, QStringLiteral("/old/clip.avi"));
        EXPECT_EQ(fixture.settings.outputWidth, 1024);
        EXPECT_EQ(fixture.LastPhotoFolder(), QStringLiteral("unset"));
    }
}

TEST_F(OpenVideoTest, TheBoxesCountWholeSecondsAndTheWholeClipIsMarked)
{
    Script().length = 109 * kSecond / 10;
    Script().width = 720;
    Script().height = 576;
    const QString path = dir.filePath(QStringLiteral("clips/holiday.mp4"));
    const std::optional<OpenedClip> opened = Open(path);
    ASSERT_TRUE(opened.has_value());
    EXPECT_TRUE(messages.shown.isEmpty());

    EXPECT_EQ(clip.itemSeconds, 10);
    EXPECT_EQ(clip.video.duration, 109 * kSecond / 10);
    EXPECT_EQ(clip.markStart, 0);
    EXPECT_EQ(clip.markEnd, 109 * kSecond / 10);
    EXPECT_EQ(opened->texts.startTime, QStringLiteral("00:00:00"));
    EXPECT_EQ(opened->texts.position, QStringLiteral("00:00:00 / 00:00:10"));
    EXPECT_EQ(opened->texts.endTime, QStringLiteral("00:00:10"));

    EXPECT_EQ(clip.facts.videoItemCount, 1);
    EXPECT_EQ(clip.audioItemCount, 1);
    EXPECT_EQ(clip.audio.path, path);
    EXPECT_EQ(clip.audio.duration, 109 * kSecond / 10);
    EXPECT_EQ(Script().graphsCreated, 2);
    EXPECT_EQ(LastPhotoFolder(), dir.filePath(QStringLiteral("clips/")));

    EXPECT_EQ(clip.facts.videoWidth, 720);
    EXPECT_EQ(settings.outputWidth, 720);
    EXPECT_EQ(settings.outputHeight, 576);
    EXPECT_EQ(opened->status, QStringLiteral("Output file: /pictures/     Resolution: 720*576"));
}

TEST_F(OpenVideoTest, HoursAboveADayAreShown)
{
    Script().length = 25 * 3600 * kSecond + kSecond / 2;
    const std::optional<OpenedClip> opened = Open(QStringLiteral("/v/long.mkv"));
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->texts.endTime, QStringLiteral("25:00:00"));
    EXPECT_EQ(opened->texts.position, QStringLiteral("00:00:00 / 25:00:00"));
}

TEST_F(OpenVideoTest, TheOriginalFrameRateFollowsTheClipOtherwiseTheRateStays)
{
    const struct {
        int frameRateIndex;
        double secondsPerFrame;
        double sourceRate;
        double outputRate;
    } cases[] = {
        {0, 0.04, 25.0, 25.0},
        {1, 0.04, 25.0, 23.976},
        {0, 1.0 / 30000 * 1001, 29.97002997, 29.97002997},
        {0, 0.0, kDefaultFrameRate, kDefaultFrameRate}, // no frame time stated
    };
    for (const auto& c : cases) {
        settings.frameRateIndex = c.frameRateIndex;
        settings.frameRate = 23.976;
        Script().secondsPerFrame = c.secondsPerFrame;
        ASSERT_TRUE(Open(QStringLiteral("/v/a.avi")).has_value());
        EXPECT_NEAR(clip.facts.sourceFrameRate, c.sourceRate, 1e-6) << c.secondsPerFrame;
        EXPECT_NEAR(settings.frameRate, c.outputRate, 1e-6) << c.frameRateIndex;
    }
}

TEST_F(OpenVideoTest, OnlyAnimatedPicturesAreMeasuredByTheirDuration)
{
    const struct {
        const char* path;
        const char* query;
    } cases[] = {{"/v/movie.GIF", "GetDuration"}, {"/v/movie.gif", "GetDuration"}, {"/v/movie.avi", "GetStopPosition"},
                 {"/v/gif.avi", "GetStopPosition"}};
    for (const auto& c : cases) {
        Script().calls.clear();
        MediaTime duration = 0;
        ClipFacts facts;
        ASSERT_TRUE(ProbeClip(Services().probe, QString::fromLatin1(c.path), duration, facts, settings));
        const std::vector<std::string> expected{std::string("RenderFile:") + c.path, c.query, "GetVideoSize",
                                                "GetAvgTimePerFrame"};
        EXPECT_EQ(Script().calls, expected);
    }
}

TEST_F(OpenVideoTest, TheSoundLengthIsZeroWithoutAGraphAndMinusOneWhenUnreadable)
{
    const QString path = QStringLiteral("/v/a.avi");
    EXPECT_EQ(ProbeAudioDuration(probes, path), 10 * kSecond);
    Script().stopPosition = MediaResult::Fail;
    EXPECT_EQ(ProbeAudioDuration(probes, path), -1);
    Script().render = MediaResult::CannotRender;
    EXPECT_EQ(ProbeAudioDuration(probes, path), -1);
    probes.failCreation = true;
    EXPECT_EQ(ProbeAudioDuration(probes, path), 0);
    EXPECT_EQ(ProbeAudioDuration(nullptr, path), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(OpenVideoTest, TheChooserOffersAnyFileFirstFromTheLastFolder)
{
    FileChooserRequest request = OpenVideoChooserRequest(language, profile);
    EXPECT_EQ(request.title, QStringLiteral("Open a video file"));
    EXPECT_EQ(request.directory, QString());
    EXPECT_EQ(request.selectedFilter, 0);
    ASSERT_EQ(request.filters.size(), 2);
    EXPECT_EQ(request.filters[0].label, QStringLiteral("Any Files (*.*)"));
    EXPECT_EQ(request.filters[1].label,
              QStringLiteral("Video Files (*.mpeg;*.mpg;*.avi;*.wmv;*.dat;*.asf;*.vob;*.ogm;*.divx;*.div)"));
    EXPECT_EQ(QtNameFilters(request),
              (QStringList{QStringLiteral("Any Files (*.*) (*)"),
                           QStringLiteral("Video Files (*.mpeg;*.mpg;*.avi;*.wmv;*.dat;*.asf;*.vob;*.ogm;*.divx;*.div) "
                                          "(*.mpeg *.mpg *.avi *.asf *.wmv *.dat *.vob *.ogm *.divx *.div)")}));

    ASSERT_TRUE(Open(dir.filePath(QStringLiteral("videos/a.avi"))).has_value());
    request = OpenVideoChooserRequest(language, profile);
    EXPECT_EQ(request.directory, dir.filePath(QStringLiteral("videos/")));
}

TEST(ClipStateTest, ClosingTheClipDropsTheSourceAndTheMarks)
{
    ClipState clip;
    clip.facts.videoItemCount = 1;
    clip.markStart = 3;
    clip.markEnd = 9;
    const ClipTexts texts = CloseClip(clip);
    EXPECT_EQ(clip.facts.videoItemCount, 0);
    EXPECT_EQ(clip.markStart, 0);
    EXPECT_EQ(clip.markEnd, 0);
    EXPECT_EQ(texts.startTime, QStringLiteral("00:00:00"));
    EXPECT_EQ(texts.position, QString());
    EXPECT_EQ(texts.endTime, QStringLiteral("00:00:00"));
}

} // namespace
