// Real files made by others, taken from Debian packages: each is measured by
// the program's probe and checked against ffprobe, then its first 3 seconds
// are converted at the clip's own rate through the Convert button's job and
// compared picture by picture with what the ffmpeg program makes of them.
#include "RealMedia.h"

#include "extract/ConversionJob.h"
#include "extract/ConversionMessages.h"
#include "extract/FrameSampler.h"
#include "i18n/LanguagePack.h"
#include "media/ClipProbe.h"
#include "media/MediaTexts.h"
#include "media/OpenVideo.h"
#include "platform/profile/Profile.h"
#include "support/FfmpegReference.h"
#include "support/RecordingMessageService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <ostream>

namespace {

enum class Expect {
    SamePictures, // as many pictures as ffmpeg's, each at least kMinimumPsnr
    NoVideo,      // refused with the probe's message
};

struct RealFile {
    const char* name;
    const char* codec;
    const char* container;
    Expect expect = Expect::SamePictures;
    // How players read the file's colours where ffmpeg's default differs: an
    // untagged picture larger than 1024x576 is BT.709.
    const char* colours = "";
};

// Failures name the file.
void PrintTo(const RealFile& file, std::ostream* out)
{
    *out << file.name;
}

const RealFile kFiles[] = {
    {"play101.mkv", "MS Video 1", "Matroska"},
    {"win005.mkv", "Cinepak", "Matroska"},
    {"balle1-vp9.avi", "VP9 at 187 fps", "AVI"},
    {"balle-jbart.mp4", "H.264, anamorphic 16:15", "MP4"},
    {"Effet_force_magnetique.ogv", "Theora", "Ogg"},
    {"retroMars2018.avi", "MPEG-4 Part 2, untagged 1024x768", "AVI", Expect::SamePictures, "in_color_matrix=bt709"},
    {"tour.mp4", "H.264", "MP4"},
    {"wannaworktogether.mp4", "H.264, variable rate", "MP4"},
    {"cityCC0.mpg", "MPEG-2, starts at 0.54 s", "MPEG-PS"},
    {"anim-1.mov", "MJPEG", "QuickTime"},
    {"homer.avi", "Indeo 3", "AVI"},
    {"motion.mov", "H.264", "QuickTime"},
    {"lightsoff.ogv", "Theora", "Ogg"},
    {"Shepard_Calais_1906_FrenchGP.ogv.160p.ogv", "Theora", "Ogg"},
    {"DualDiscs.mov", "H.264, variable rate", "QuickTime"},
    {"small_movie.mp4", "H.264, damaged fuzzing sample", "MP4"},
    {"finished-1.webm", "Opus, sound only", "WebM", Expect::NoVideo},
};

constexpr double kMinimumPsnr = 35.0;
constexpr MediaTime kConvertedLength = 3 * kMediaUnitsPerSecond;
constexpr int kConversionWaitMs = 300000; // 3 s of a large clip on a loaded machine, with sanitizers

// The range holds every output time before its end. ffmpeg's trim rounds its
// end to the nearest output time, which drops the last one when the end lies
// less than half a frame after it: hand it the first output time at or after the end.
double FfmpegTrimEnd(MediaTime end, double rate)
{
    return std::ceil(static_cast<double>(end) / kMediaUnitsPerSecond * rate) / rate;
}

// Each picture gets the next millisecond, so the names sort in the order the frames came.
FrameGrabberCallback::Clock CountingClock()
{
    return [count = 0]() mutable {
        const int n = count++;
        return LocalTime{2000, 1, 1, n / 3600000, n / 60000 % 60, n / 1000 % 60, n % 1000};
    };
}

struct Comparison {
    double worstPsnr = std::numeric_limits<double>::infinity();
    int worstPicture = -1;
};

class RealMediaTest : public ::testing::TestWithParam<RealFile> {
protected:
    static void SetUpTestSuite() { folder_ = FetchRealMedia(fetchFailure_); }
    void SetUp() override
    {
        ASSERT_TRUE(fetchFailure_.isEmpty()) << "the real files cannot be fetched: " << fetchFailure_.toStdString();
    }
    ~RealMediaTest() override
    {
        std::printf("| %s | %s | %s | %s |\n", GetParam().name, GetParam().codec, GetParam().container,
                    qPrintable(outcome_));
    }

    QString Path() const { return QDir(folder_).filePath(QString::fromLatin1(GetParam().name)); }
    QString Messages() const { return messages_.Texts().join(QStringLiteral(" | ")); }

    bool Probe(MediaTime& duration, ClipFacts& facts)
    {
        ConversionSettings settings;
        return ProbeClip(ProbeServices{FfmpegProbeFactory(), messages_, language_, &owner_}, Path(), duration,
                         facts, settings);
    }

    // Converts [0, end) at the clip's own rate and size as the Convert button
    // does; false when it did not end within the wait.
    bool Convert(MediaTime end, const ClipFacts& facts)
    {
        FrameGrabberCallback sampler(CountingClock(), quiet_.get());
        ConversionSettings settings;
        settings.outputFolder = output_.path() + u'/';
        settings.outputWidth = facts.videoWidth;
        settings.outputHeight = facts.videoHeight;
        settings.frameRateIndex = 0;
        settings.frameRate = facts.sourceFrameRate;
        ConversionJob job(sampler);
        QObject::connect(&job, &ConversionJob::StepFailed, [this](ConversionStep step, MediaResult result) {
            for (const ConversionNotice& notice : NoticesOf(step, result))
                messages_.Show(nullptr, notice.text, notice.caption);
        });
        QObject::connect(&job, &ConversionJob::Finished, [this](const ConversionOutcome& outcome) {
            if (outcome.failures.count > 0)
                messages_.Show(nullptr, outcome.failures.firstError, {});
            if (outcome.streamError)
                messages_.Show(nullptr, ConversionMessages::EndedEarly(*outcome.streamError), {});
        });
        job.Start({ClipSource{1, 1, Path(), 0, end, facts.sourceFrameRate}, settings});
        QDeadlineTimer deadline(kConversionWaitMs);
        while (job.IsConverting() && !deadline.hasExpired())
            QTest::qWait(20);
        const bool ended = !job.IsConverting();
        if (!ended)
            job.EndConversion();
        return ended;
    }

    QStringList Pictures() const { return QDir(output_.path()).entryList(QDir::Files, QDir::Name); }
    QByteArray Picture(const QString& name) const { return PictureRgb(QDir(output_.path()).filePath(name)); }

    Comparison CompareWithFfmpeg(const QStringList& pictures, const std::vector<QByteArray>& reference) const
    {
        Comparison comparison;
        for (qsizetype i = 0; i < std::min<qsizetype>(pictures.size(), qsizetype(reference.size())); ++i) {
            const double psnr = Psnr(Picture(pictures[i]), reference[std::size_t(i)]);
            if (psnr < comparison.worstPsnr || comparison.worstPicture < 0) {
                comparison.worstPsnr = psnr;
                comparison.worstPicture = int(i);
            }
        }
        return comparison;
    }

    // Opening a file without a picture shows the probe's message, then the box
    // saying it cannot be opened, and records nothing.
    void ExpectRefused(const FfprobeFacts& expected)
    {
        ASSERT_FALSE(expected.hasVideo);
        ClipState clip;
        ConversionSettings settings;
        const OpenVideoServices services{ProbeServices{FfmpegProbeFactory(), messages_, language_, &owner_},
                                         profile_};
        EXPECT_FALSE(OpenVideo(services, Path(), clip, settings).has_value());
        ASSERT_EQ(messages_.shown.size(), 2) << Messages().toStdString();
        EXPECT_EQ(messages_.shown[0].text, MediaTexts::kProbeNoVideoSize);
        EXPECT_EQ(clip.facts.videoItemCount, 0);
        outcome_ = QStringLiteral("refused: \"%1\"").arg(messages_.shown[0].text);
    }

    void ExpectProbedAsFfprobe(const FfprobeFacts& expected, MediaTime duration, const ClipFacts& facts) const
    {
        EXPECT_NEAR(static_cast<double>(duration) / kMediaUnitsPerSecond, expected.seconds, 0.001);
        EXPECT_EQ(facts.videoWidth, expected.width);
        EXPECT_EQ(facts.videoHeight, expected.height);
        EXPECT_NEAR(facts.sourceFrameRate, expected.frameRate, expected.frameRate * 1e-6);
    }

    // As many pictures as ffmpeg makes of [0, end), each close to its own, and no message.
    void ExpectFfmpegPictures(MediaTime end, const ClipFacts& facts)
    {
        EXPECT_TRUE(messages_.shown.isEmpty()) << Messages().toStdString();
        const std::vector<QByteArray> reference = FfmpegReferenceFrames(
            Path(), 0, FfmpegTrimEnd(end, facts.sourceFrameRate), facts.sourceFrameRate, facts.videoWidth,
            facts.videoHeight, {{}, QString::fromLatin1(GetParam().colours)});
        const QStringList pictures = Pictures();
        const Comparison comparison = CompareWithFfmpeg(pictures, reference);
        EXPECT_EQ(pictures.size(), qsizetype(reference.size()));
        EXPECT_GE(comparison.worstPsnr, kMinimumPsnr) << "picture " << comparison.worstPicture;
        outcome_ = QStringLiteral("%1 pictures (ffmpeg %2), lowest %3 dB at picture %4")
                       .arg(pictures.size())
                       .arg(reference.size())
                       .arg(comparison.worstPsnr, 0, 'f', 1)
                       .arg(comparison.worstPicture);
    }

    static QString folder_;
    static QString fetchFailure_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> quiet_{std::fopen("/dev/null", "w"), &std::fclose};
    QTemporaryDir output_;
    QTemporaryDir scratch_;
    Profile profile_{scratch_.filePath(QStringLiteral("profile.ini"))};
    RecordingMessageService messages_;
    LanguagePack language_{profile_, messages_};
    QWidget owner_;
    QString outcome_ = QStringLiteral("not run to the end");
};

QString RealMediaTest::folder_;
QString RealMediaTest::fetchFailure_;

TEST(RealMediaList, EveryFetchedFileHasItsCase)
{
    QStringList cased;
    for (const RealFile& file : kFiles)
        cased.append(QString::fromLatin1(file.name));
    EXPECT_EQ(ListedRealMedia().join(u' ').toStdString(), cased.join(u' ').toStdString());
}

TEST_P(RealMediaTest, OpensAndConvertsAsTheFfmpegProgramDoes)
{
    const std::optional<FfprobeFacts> expected = Ffprobe(Path());
    ASSERT_TRUE(expected.has_value()) << "ffprobe cannot read " << Path().toStdString();
    if (GetParam().expect == Expect::NoVideo) {
        ExpectRefused(*expected);
        return;
    }
    MediaTime duration = 0;
    ClipFacts facts;
    ASSERT_TRUE(Probe(duration, facts)) << Messages().toStdString();
    ExpectProbedAsFfprobe(*expected, duration, facts);

    const MediaTime end = std::min(duration, kConvertedLength);
    ASSERT_TRUE(Convert(end, facts)) << "the conversion did not end within " << kConversionWaitMs / 1000 << " s";
    ExpectFfmpegPictures(end, facts);
}

INSTANTIATE_TEST_SUITE_P(Debian, RealMediaTest, ::testing::ValuesIn(kFiles), [](const auto& test) {
    std::string name = test.param.name;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                    '_');
    return name;
});

} // namespace
