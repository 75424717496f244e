#include "extract/FrameSampler.h"

#include "imaging/PictureFormats.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/OutputFile.h"

#include "support/Frames.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <limits>
#include <random>

namespace {
// Starts a conversion that writes format into folder.
void Begin(FrameGrabberCallback& sampler, const QString& folder, int format, int interval = 1, int quality = 80)
{
    ConversionSettings settings;
    settings.outputFolder = folder;
    settings.outputFormat = format;
    settings.samplingInterval = interval;
    settings.jpegQuality = quality;
    sampler.BeginConversion(settings);
}

// The frame as the engine hands it over: drawn into memory of its own.
DrawnPicture Drawn(const TestFrame& frame)
{
    DrawnPicture picture = DrawnPicture::Black(PictureLayout::Bgr24, frame.width, frame.height);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(picture.Plane(0) + picture.Stride(0) * y, frame.Data() + frame.stride * (frame.height - 1 - y),
                    static_cast<std::size_t>(frame.width) * 3);
    return picture;
}

QString Extension(int format)
{
    return QString::fromLatin1(FindPictureFormat(format)->extension);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Hands out the moments it is given, one per reading; the last one repeats.
class ScriptedClock final {
public:
    void Add(const LocalTime& time) { times_.push_back(time); }
    // Moments one millisecond apart from 2009-12-31 23:59:00.000, one per frame.
    void AddMilliseconds(int count)
    {
        for (int i = 0; i < count; ++i)
            Add({2009, 12, 31, 23, 59, i / 1000, i % 1000});
    }
    LocalTime Now()
    {
        const LocalTime time = times_.at(std::min(next_, times_.size() - 1));
        ++next_;
        return time;
    }

private:
    std::vector<LocalTime> times_;
    std::size_t next_ = 0;
};

class FrameSamplerTest : public ::testing::Test {
protected:
    FrameSamplerTest() : diagnostics_(std::tmpfile()), sampler_([this] { return clock_.Now(); }, diagnostics_.get())
    {
        clock_.Add(kNewYearsEve);
    }

    void Start(int format, int interval = 1, int quality = 80)
    {
        Begin(sampler_, Folder(), format, interval, quality);
    }

    // As the engine does: a frame is asked about, then handed over when it is
    // kept. The scripted moments pass for declined frames too.
    bool Deliver(const TestFrame& frame, double sampleTime = 0)
    {
        if (!sampler_.KeepsFrame()) {
            clock_.Now();
            return false;
        }
        sampler_.SampleCB(sampleTime, Drawn(frame));
        return true;
    }

    // The pictures are written on worker threads: results are read once they are done.
    void Finish() { sampler_.FinishConversion(); }

    QString Folder() const { return folder_.path() + u'/'; }
    QString Path(const QString& name) const { return Folder() + name; }
    QStringList Written()
    {
        Finish();
        return QDir(folder_.path()).entryList(QDir::Files, QDir::Name);
    }

    QByteArray Diagnostics()
    {
        Finish();
        std::fflush(diagnostics_.get());
        std::rewind(diagnostics_.get());
        QByteArray text(4096, '\0');
        text.truncate(static_cast<qsizetype>(std::fread(text.data(), 1, 4096, diagnostics_.get())));
        return text;
    }

    static constexpr LocalTime kNewYearsEve{2009, 12, 31, 23, 59, 59, 999};
    QTemporaryDir folder_;
    ScriptedClock clock_;
    std::unique_ptr<std::FILE, FileCloser> diagnostics_;
    FrameGrabberCallback sampler_;
};

TEST_F(FrameSamplerTest, WritesABmpOfTheHeadersAndTheFrameAsDelivered)
{
    const TestFrame frame = GenerateFrame(640, 480);
    ASSERT_FALSE(frame.bits.isEmpty());
    Start(0);
    Deliver(frame, 1.2345);
    Finish();
    const QString path = Path(QStringLiteral("capture.2009.12.31.23.59.59.999.bmp"));
    const QByteArray file = ReadFile(path);
    ASSERT_EQ(file.size(), 921654);
    EXPECT_EQ(file.mid(0, 2), "BM");
    EXPECT_EQ(file.mid(54), frame.bits);
    EXPECT_EQ(DecodeToRgb24(path), TopDownRgb(frame));
    EXPECT_EQ(Diagnostics(), "Found a sample at time 1234 ms\t[" + QFile::encodeName(path) + "]\r\n");
}

// 321 pixels of 3 bytes make 963, padded to 964 by the render engine.
TEST_F(FrameSamplerTest, KeepsThePaddedRowsOfAnOddWidth)
{
    const TestFrame frame = GenerateFrame(321, 240);
    ASSERT_EQ(frame.bits.size(), 964 * 240);
    Start(0);
    Deliver(frame);
    Finish();
    const QString path = Path(QStringLiteral("capture.2009.12.31.23.59.59.999.bmp"));
    EXPECT_EQ(ReadFile(path).mid(54), frame.bits);
    EXPECT_EQ(DecodeToRgb24(path), TopDownRgb(frame));
}

TEST_F(FrameSamplerTest, WritesTheOtherFormatsThroughTheWriters)
{
    const TestFrame frame = GenerateFrame(321, 240);
    ASSERT_FALSE(frame.bits.isEmpty());
    const QByteArray rgb = TopDownRgb(frame);
    for (int format = 1; format <= 4; ++format) {
        Start(format);
        Deliver(frame);
        Finish();
        const QByteArray decoded =
            DecodeToRgb24(Path(QStringLiteral("capture.2009.12.31.23.59.59.999.") + Extension(format)));
        ASSERT_EQ(decoded.size(), rgb.size()) << format;
        // Lossy formats only have to show the same picture: a flipped or skewed frame is far below 20 dB.
        if (format == 2 || format == 3)
            EXPECT_EQ(decoded, rgb) << format;
        else
            EXPECT_GT(Psnr(decoded, rgb), 20.0) << format;
    }
    EXPECT_EQ(Written(), (QStringList{"capture.2009.12.31.23.59.59.999.gif", "capture.2009.12.31.23.59.59.999.jpg",
                                      "capture.2009.12.31.23.59.59.999.png", "capture.2009.12.31.23.59.59.999.tif"}));
    EXPECT_EQ(sampler_.Failures().count, 0);
    EXPECT_TRUE(Diagnostics().isEmpty());
}

TEST_F(FrameSamplerTest, FramesOfOneMillisecondGetNamesOfTheirOwn)
{
    clock_ = {};
    clock_.Add({2009, 4, 14, 9, 5, 3, 7});
    clock_.Add({2009, 4, 14, 9, 5, 3, 7});
    clock_.Add({2009, 4, 14, 9, 5, 3, 7});
    clock_.Add({2009, 4, 14, 9, 5, 3, 8});
    const TestFrame frame = SolidFrame(4, 4, 1, 2, 3);
    Start(1);
    for (int i = 0; i < 4; ++i)
        Deliver(frame);
    EXPECT_EQ(Written(), (QStringList{"capture.2009.04.14.09.05.03.007.jpg", "capture.2009.04.14.09.05.03.007_1.jpg",
                                      "capture.2009.04.14.09.05.03.007_2.jpg", "capture.2009.04.14.09.05.03.008.jpg"}));
}

// A picture never replaces a file. One whose name is taken (by a picture of
// another conversion, or of the hour before the clock was set back) takes the
// next free number, and the pictures of one conversion keep the order of
// their frames even when a later one is written first: the first frame here
// is noise, far slower to compress than the plain ones after it.
TEST_F(FrameSamplerTest, TakenNamesArePassedOverInTheOrderOfTheFrames)
{
    const struct {
        std::vector<int> taken;    // numbers whose names hold another file; -1: the plain name
        std::vector<int> expected; // the numbers the three frames get, in order
    } cases[] = {{{}, {-1, 1, 2}}, {{-1}, {1, 2, 3}}, {{-1, 1, 3}, {2, 4, 5}}, {{1}, {-1, 2, 3}}};
    const auto name = [](int number) {
        return QStringLiteral("capture.2009.12.31.23.59.59.999%1.png")
            .arg(number < 0 ? QString() : QStringLiteral("_%1").arg(number));
    };
    std::vector<TestFrame> frames{SolidFrame(1024, 768, 0, 0, 0), SolidFrame(1024, 768, 1, 2, 3),
                                  SolidFrame(1024, 768, 4, 5, 6)};
    std::mt19937 random(11);
    for (char& byte : frames[0].bits)
        byte = static_cast<char>(random());
    FrameGrabberCallback sampler([this] { return clock_.Now(); }, diagnostics_.get(), 4);
    int run = 0;
    for (const auto& c : cases) {
        const QString folder = Folder() + QString::number(run++) + u'/';
        QDir().mkpath(folder);
        for (const int number : c.taken)
            WriteFile(folder + name(number), "another picture");
        Begin(sampler, folder, kFormatPng);
        for (const TestFrame& frame : frames)
            sampler.SampleCB(0, Drawn(frame));
        sampler.FinishConversion();
        for (std::size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(DecodeToRgb24(folder + name(c.expected[i])), TopDownRgb(frames[i])) << run << ": frame " << i;
        for (const int number : c.taken)
            EXPECT_EQ(ReadFile(folder + name(number)), "another picture") << run;
        EXPECT_EQ(sampler.PicturesWritten(), 3) << run;
    }
}

TEST_F(FrameSamplerTest, AFormatOutsideTheRangeWritesNothingButCounts)
{
    const TestFrame frame = SolidFrame(4, 4, 1, 2, 3);
    for (const int format : {7, 5, -1}) {
        Start(format);
        Deliver(frame);
    }
    EXPECT_TRUE(Written().isEmpty());
    EXPECT_EQ(sampler_.FrameCount(), 3);
    EXPECT_EQ(sampler_.Failures().count, 0);
}

TEST_F(FrameSamplerTest, IntervalThreeContinuesAcrossConversions)
{
    clock_ = {};
    clock_.AddMilliseconds(20);
    const TestFrame frame = SolidFrame(2, 2, 9, 9, 9);
    Start(0, 3);
    for (int i = 0; i < 10; ++i)
        Deliver(frame);
    // Frames arrive at milliseconds 0..9: the 3rd, 6th and 9th are kept.
    EXPECT_EQ(Written(), (QStringList{"capture.2009.12.31.23.59.00.002.bmp", "capture.2009.12.31.23.59.00.005.bmp",
                                      "capture.2009.12.31.23.59.00.008.bmp"}));
    Start(0, 3);
    for (int i = 0; i < 6; ++i)
        Deliver(frame);
    // The second conversion's frames arrive at 10..15; its 2nd and 5th are frames 12 and 15.
    EXPECT_EQ(Written().mid(3), (QStringList{"capture.2009.12.31.23.59.00.011.bmp",
                                             "capture.2009.12.31.23.59.00.014.bmp"}));
    EXPECT_EQ(sampler_.FrameCount(), 16);
}

TEST_F(FrameSamplerTest, AnIntervalBelowOneKeepsEveryFrame)
{
    clock_ = {};
    clock_.AddMilliseconds(10);
    const TestFrame frame = SolidFrame(2, 2, 9, 9, 9);
    for (const int interval : {0, -5}) {
        Start(0, interval);
        Deliver(frame);
        Deliver(frame);
    }
    EXPECT_EQ(Written().size(), 4);
}

TEST_F(FrameSamplerTest, AJpegQualityOutsideItsRangeIsClamped)
{
    const TestFrame frame = GenerateFrame(64, 48);
    ASSERT_FALSE(frame.bits.isEmpty());
    for (const auto& [stored, clamped] : {std::pair{0, 1}, std::pair{250, 100}, std::pair{-3, 1}}) {
        Bitmap bitmap(64, 48, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
        const QString reference = Path(QStringLiteral("reference%1.jpg").arg(stored));
        OutputFile file(reference);
        ASSERT_TRUE(SaveAsJpeg(clamped, bitmap, file).Succeeded());
        ASSERT_EQ(file.PlaceAs(reference), OutputFile::Placement::Placed);
        const QString picture = Path(QStringLiteral("capture.2009.12.31.23.59.59.999.jpg"));
        QFile::remove(picture);
        Start(1, 1, stored);
        Deliver(frame);
        Finish();
        EXPECT_EQ(ReadFile(picture), ReadFile(reference)) << stored;
    }
}

TEST_F(FrameSamplerTest, AnInvalidFrameIsReportedOnTheDiagnosticsAndWritesNothing)
{
    Start(0);
    sampler_.SampleCB(0.5, DrawnPicture());
    EXPECT_EQ(Diagnostics(), "Invalid IMediaSample passed to SampleCB!\r\n");
    EXPECT_TRUE(Written().isEmpty());
}

TEST_F(FrameSamplerTest, FailedWritesAreCountedWithTheFirstReason)
{
    clock_ = {};
    clock_.AddMilliseconds(10);
    const TestFrame frame = SolidFrame(4, 4, 1, 2, 3);
    for (const int format : {0, 2}) {
        Begin(sampler_, Folder() + QStringLiteral("missing/"), format);
        Deliver(frame);
        Deliver(frame);
        Finish();
        EXPECT_EQ(sampler_.Failures().count, 2) << format;
        EXPECT_TRUE(sampler_.Failures().firstError.startsWith(Folder() + QStringLiteral("missing/capture.")))
            << sampler_.Failures().firstError.toStdString();
        EXPECT_TRUE(sampler_.Failures().firstError.endsWith(QStringLiteral(": No such file or directory")));
    }
    Start(0);
    EXPECT_EQ(sampler_.Failures().count, 0);
    EXPECT_TRUE(sampler_.Failures().firstError.isEmpty());
}

// The engine reuses one buffer for every frame, and several pictures are
// written at once: each file must still hold the frame that was delivered
// under its name.
TEST_F(FrameSamplerTest, EachPictureHoldsItsOwnFrameWhileSeveralAreWrittenAtOnce)
{
    FrameGrabberCallback sampler([this] { return clock_.Now(); }, diagnostics_.get(), 4);
    clock_ = {};
    clock_.AddMilliseconds(3 * 12);
    TestFrame frame = SolidFrame(48, 32, 0, 0, 7);
    const auto green = [](int i) { return static_cast<char>(10 * i); };
    for (const int format : {kFormatBmp, kFormatPng, kFormatTif}) {
        Begin(sampler, Folder(), format);
        for (int i = 0; i < 12; ++i) {
            for (qsizetype byte = 1; byte < frame.bits.size(); byte += 3)
                frame.bits[byte] = green(i);
            sampler.SampleCB(i / 25.0, Drawn(frame));
        }
        sampler.FinishConversion();
        const QStringList written =
            QDir(Folder()).entryList({QStringLiteral("*.") + Extension(format)}, QDir::Files, QDir::Name);
        ASSERT_EQ(written.size(), 12) << format;
        for (int i = 0; i < 12; ++i) {
            const QByteArray rgb = DecodeToRgb24(Path(written[i]));
            ASSERT_EQ(rgb.size(), 48 * 32 * 3) << written[i].toStdString();
            EXPECT_EQ(rgb.first(3), (QByteArray{"\x07"} + green(i) + '\0')) << written[i].toStdString();
            EXPECT_EQ(rgb.last(3), rgb.first(3)) << written[i].toStdString();
        }
    }
    EXPECT_EQ(sampler.Failures().count, 0);
}
} // namespace

// Every frame is asked about once and counted once, kept or not.
class FrameSamplerDeclineTest : public FrameSamplerTest {};

TEST_F(FrameSamplerDeclineTest, EachQuestionCountsOneFrameAndKeepsEveryNth)
{
    clock_ = {};
    clock_.AddMilliseconds(20);
    const TestFrame frame = SolidFrame(2, 2, 9, 9, 9);
    Start(0, 3);
    int delivered = 0;
    for (int i = 0; i < 10; ++i)
        delivered += Deliver(frame) ? 1 : 0;
    EXPECT_EQ(delivered, 3);
    EXPECT_EQ(sampler_.FrameCount(), 10);
    EXPECT_EQ(Written().size(), 3);
    Start(0, 3);
    EXPECT_FALSE(sampler_.KeepsFrame()); // frame 11
    EXPECT_TRUE(sampler_.KeepsFrame());  // frame 12 is kept
    Start(7, 1);
    EXPECT_FALSE(sampler_.KeepsFrame()); // nothing is written in an unknown format
    EXPECT_EQ(sampler_.FrameCount(), 13);
}

// The engine decodes only what the frames it is told will be kept show, so
// the sampler's forecast must agree with its later answers, also across the
// count a conversion continues from the one before.
TEST_F(FrameSamplerDeclineTest, ForeseesHowManyFramesPassBeforeEachKeptOne)
{
    for (const int interval : {1, 2, 3, 7, 10}) {
        Start(0, interval);
        std::vector<std::int64_t> foreseen;
        for (int after = 0; after < 5; ++after)
            foreseen.push_back(sampler_.FramesBeforeKept(after));
        std::int64_t passed = 0;
        for (int kept = 0; kept < 5; ++kept) {
            while (!sampler_.KeepsFrame())
                ++passed;
            EXPECT_EQ(passed, foreseen[kept]) << "every " << interval << "th, kept frame " << kept;
        }
    }
    Start(7, 1);
    EXPECT_EQ(sampler_.FramesBeforeKept(0), std::numeric_limits<std::int64_t>::max());
}
