#include "RenderRig.h"

#include "support/TestClips.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <iterator>
#include <map>
#include <tuple>

// With a sampling interval over 1 the extractor leaves frames that no kept
// picture shows undecoded. Each kept picture must be the one every frame's
// decoding gives: a run that does not tell the extractor which frames it keeps
// is the reference.

namespace {

constexpr MediaTime kSecond = kMediaUnitsPerSecond;
constexpr double kRate = 25;
constexpr MediaTime kClipLength = 4 * kSecond;

struct SkipClip {
    const char* name;
    QStringList codec;
    const char* fileName;
    bool decoderSkips; // whether FFmpeg's decoder can leave this codec's non-reference frames out
};

QStringList Options(std::initializer_list<const char*> options)
{
    QStringList list;
    for (const char* option : options)
        list << QString::fromLatin1(option);
    return list;
}

// Clips with B-frames, or for VP9 frames no other frame refers to.
const SkipClip kClips[] = {
    {"H264", Options({"-c:v", "libx264", "-bf", "3", "-g", "50"}), "skip-h264.mp4", true},
    {"Hevc", Options({"-c:v", "libx265", "-x265-params", "bframes=4:keyint=50:log-level=error"}), "skip-hevc.mp4",
     true},
    {"Mpeg2", Options({"-c:v", "mpeg2video", "-bf", "2", "-g", "12", "-q:v", "3"}), "skip-mpeg2.mpg", true},
    {"Mpeg4", Options({"-c:v", "mpeg4", "-bf", "2", "-q:v", "3"}), "skip-mpeg4.mp4", true},
    // Three temporal layers: every other frame refreshes no reference.
    {"Vp9",
     Options({"-c:v", "libvpx-vp9", "-b:v", "300k", "-deadline", "good", "-cpu-used", "5", "-threads", "1",
              "-ts-parameters",
              "ts_number_layers=3:ts_target_bitrate=100,200,300:ts_rate_decimator=4,2,1:ts_periodicity=4:"
              "ts_layer_id=0,2,1,2:ts_layering_mode=3"}),
     "skip-vp9.webm", false},
};

QString Clip(const QString& fileName, const QStringList& codec)
{
    return TestClip({fileName, Options({"-f", "lavfi", "-i"}) << MovingPicture(160, 120, kRate, 4) << codec});
}

QString Clip(const SkipClip& clip)
{
    return Clip(QString::fromLatin1(clip.fileName), clip.codec);
}

// The frames in the clip as ffprobe decodes and counts them (its complaints
// about a damaged one are not read).
std::int64_t ProbedFrameCount(const QString& path)
{
    QByteArray output;
    EXPECT_EQ(RunProgram(QStringLiteral("ffprobe"),
                         Options({"-v", "quiet", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                  "stream=nb_read_frames", "-of", "default=nw=1:nk=1"})
                             << path,
                         &output),
              0);
    return output.trimmed().toLongLong();
}

// An H.264 clip (a P-frame after each B-frame) whose 21st frame, a P-frame,
// never comes out of the decoder: its packet's NAL unit type is made a
// reserved one, which decoders pass over. The frames after it are decoded
// with that reference missing, each as the decoder's concealment makes it
// from what it decoded last.
QString ClipWithLostFrame()
{
    static const QString lost = [] {
        const QString clip =
            Clip(QStringLiteral("skip-h264-ibp.mp4"),
                 Options({"-c:v", "libx264", "-bf", "1", "-g", "50", "-x264-params", "b-adapt=0"}));
        QByteArray packets;
        EXPECT_EQ(RunProgram(QStringLiteral("ffprobe"),
                             Options({"-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pts,pos",
                                      "-of", "csv=p=0"})
                                 << clip,
                             &packets),
                  0);
        std::map<qint64, qint64> positionByStart;
        for (const QByteArray& line : packets.trimmed().split('\n'))
            positionByStart[line.split(',').value(0).toLongLong()] = line.split(',').value(1).toLongLong();
        QFile file(clip);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (positionByStart.size() != 100 || bytes.isEmpty()) {
            ADD_FAILURE() << "no clip of 100 packets to damage";
            return QString();
        }
        const qint64 packet = std::next(positionByStart.begin(), 20)->second;
        // After the NAL unit's 4-byte length: forbidden bit 0, not a reference, type 23.
        bytes[packet + 4] = 0x17;
        const QString path = QFileInfo(clip).dir().filePath(QStringLiteral("skip-h264-lost-frame.mp4"));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return path;
    }();
    return lost;
}

RenderRequest Request(const QString& clip, MediaTime start)
{
    return {clip, start, kClipLength, 160, 120, kRate};
}

struct Rendered {
    std::vector<CapturedFrame> frames;
    std::int64_t decoded = 0;
};

// Keeps every interval-th frame, telling the extractor which ones when it foresees.
Rendered RenderEvery(int interval, const QString& clip, MediaTime start, bool foresees = true)
{
    RenderRig rig;
    rig.recorder.keepEvery = interval;
    rig.recorder.foresees = foresees;
    Rendered rendered;
    EXPECT_EQ(rig.Build(Request(clip, start)), MediaResult::Ok);
    rig.Run();
    MediaResult ended = MediaResult::Fail;
    EXPECT_TRUE(rig.WaitForEnd(ended));
    EXPECT_EQ(ended, MediaResult::Ok);
    rig.Stop();
    rendered.frames = rig.recorder.Frames();
    rendered.decoded = rig.extractor.FramesDecoded();
    return rendered;
}

// The pictures of a range with every frame decoded, made once per clip and start.
const std::vector<CapturedFrame>& EveryFrame(const QString& clip, MediaTime start)
{
    static std::map<std::pair<QString, MediaTime>, std::vector<CapturedFrame>> made;
    const auto key = std::make_pair(clip, start);
    if (!made.contains(key))
        made[key] = RenderEvery(1, clip, start, false).frames;
    return made[key];
}

// Keeps every interval-th frame of the range and compares each picture with
// that frame's when every frame is decoded.
void ExpectPicturesOfEveryFrame(const QString& clip, int interval, MediaTime start)
{
    const std::vector<CapturedFrame>& all = EveryFrame(clip, start);
    ASSERT_FALSE(all.empty());
    const std::vector<CapturedFrame> kept = RenderEvery(interval, clip, start).frames;
    ASSERT_EQ(kept.size(), (all.size() + interval - 1) / interval);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const CapturedFrame& expected = all[i * interval];
        EXPECT_EQ(kept[i].sampleTime, expected.sampleTime) << "picture " << i;
        EXPECT_TRUE(kept[i].bytes == expected.bytes) << "picture " << i << " differs from frame " << i * interval;
    }
}

class SkippedFrames : public ::testing::TestWithParam<std::tuple<SkipClip, int, MediaTime>> {};

TEST_P(SkippedFrames, KeptPicturesAreThoseOfEveryFrame)
{
    const auto& [clip, interval, start] = GetParam();
    ExpectPicturesOfEveryFrame(Clip(clip), interval, start);
}

TEST(SkippedFrame, AFrameThatNeverComesOutLeavesThePicturesOfEveryFrame)
{
    const QString clip = ClipWithLostFrame();
    ASSERT_EQ(ProbedFrameCount(clip), 99);
    for (const MediaTime start : {MediaTime{0}, 360 * kSecond / 1000}) {
        SCOPED_TRACE(start);
        ExpectPicturesOfEveryFrame(clip, 10, start);
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, SkippedFrames,
                         ::testing::Combine(::testing::ValuesIn(kClips), ::testing::Values(2, 3, 7, 10),
                                            ::testing::Values(MediaTime{0}, 1300 * kSecond / 1000)),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).name) + "Every" +
                                    std::to_string(std::get<1>(param.param)) +
                                    (std::get<2>(param.param) == 0 ? "" : "FromMidClip");
                         });

class DecodedFrames : public ::testing::TestWithParam<SkipClip> {};

TEST_P(DecodedFrames, EveryTenthLeavesNonReferenceFramesOut)
{
    const SkipClip& clip = GetParam();
    const std::int64_t inClip = ProbedFrameCount(Clip(clip));
    ASSERT_EQ(inClip, 100);
    const std::int64_t decoded = RenderEvery(10, Clip(clip), 0).decoded;
    if (clip.decoderSkips)
        EXPECT_LT(decoded, inClip * 3 / 4);
    else
        EXPECT_GE(decoded, inClip);
}

INSTANTIATE_TEST_SUITE_P(Codecs, DecodedFrames, ::testing::ValuesIn(kClips),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
