#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Encoders.h"
#include "platform/imaging/ImageEncoders.h"
#include "platform/imaging/OutputFile.h"

#include "support/Frames.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <random>
#include <string_view>

namespace {
struct NamedEncoder {
    std::string_view name;
    EncodeFunction encode;
};

constexpr NamedEncoder kEncoders[] = {
    {"jpeg", EncodeJpeg}, {"png", EncodePng}, {"tiff", EncodeTiff}, {"gif", EncodeGif}};

EncodeFunction Encoder(std::string_view name)
{
    for (const NamedEncoder& encoder : kEncoders)
        if (name == encoder.name)
            return encoder.encode;
    throw std::invalid_argument("no encoder");
}

// Saves as a conversion does: into a temporary file that then takes the name path.
ImageResult Save(const Bitmap& bitmap, const QString& path, EncodeFunction encode,
                 const EncoderParameters& parameters = {})
{
    OutputFile file(path);
    ImageResult result = SaveImageToFile(bitmap, file, encode, parameters);
    if (result.Succeeded() && file.PlaceAs(path) != OutputFile::Placement::Placed)
        result = {ImageStatus::FileError, file.ErrorText()};
    return result;
}

// The pixel format ffprobe reads from a picture file.
std::string ProbePixelFormat(const QString& path)
{
    QByteArray output;
    RunProgram(QStringLiteral(FFPROBE_PROGRAM),
               {"-v", "error", "-show_entries", "stream=pix_fmt", "-of", "default=nw=1:nk=1", path}, &output);
    return output.trimmed().toStdString();
}

Bitmap Wrap(const TestFrame& frame)
{
    return Bitmap(frame.width, frame.height, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
}

// A 7-wide frame of palette indices cycling through four colours, with its palette.
struct IndexedPicture {
    Palette palette{};
    std::vector<std::uint8_t> indices;
    static constexpr int kWidth = 7;
    static constexpr int kHeight = 5;
    static constexpr std::size_t kStride = 8;

    IndexedPicture() : indices(kStride * kHeight)
    {
        palette[0] = {0, 0, 0, 0};
        palette[1] = {255, 0, 0, 0};
        palette[2] = {0, 200, 0, 0};
        palette[3] = {10, 20, 250, 0};
        for (std::size_t row = 0; row < kHeight; ++row)
            for (std::size_t x = 0; x < kWidth; ++x)
                indices[row * kStride + x] = static_cast<std::uint8_t>((row + x) % 4);
    }

    // Top-down RGB of what the indices mean.
    QByteArray Rgb() const
    {
        QByteArray rgb;
        for (int row = kHeight - 1; row >= 0; --row)
            for (std::size_t x = 0; x < kWidth; ++x) {
                const PaletteEntry& entry = palette[indices[static_cast<std::size_t>(row) * kStride + x]];
                rgb.append(static_cast<char>(entry.red));
                rgb.append(static_cast<char>(entry.green));
                rgb.append(static_cast<char>(entry.blue));
            }
        return rgb;
    }
};

class EncoderTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return folder_.filePath(name); }
    // Every name in the folder, hidden ones included.
    QStringList Leftovers() const
    {
        return QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder_;
};

class LosslessEncoderTest : public EncoderTest, public ::testing::WithParamInterface<const char*> {};

// An odd width puts padding at the end of every row, which must not reach the picture.
TEST_P(LosslessEncoderTest, WritesTheFramePixelForPixelWithoutTouchingIt)
{
    const TestFrame frame = GenerateFrame(321, 240);
    ASSERT_FALSE(frame.bits.isEmpty());
    const QByteArray before = frame.bits;
    const QString path = Path(QStringLiteral("frame"));
    const ImageResult result = Save(Wrap(frame), path, Encoder(GetParam()));
    ASSERT_TRUE(result.Succeeded()) << result.text.toStdString();
    EXPECT_EQ(DecodeToRgb24(path), TopDownRgb(frame));
    EXPECT_EQ(frame.bits, before);
}

INSTANTIATE_TEST_SUITE_P(Types, LosslessEncoderTest, ::testing::Values("png", "tiff"));

// Noise does not compress, so its data spans several chunks of the file.
TEST_F(EncoderTest, PngOfNoiseSpansSeveralDataChunksAndStaysExact)
{
    TestFrame frame = SolidFrame(1023, 768, 0, 0, 0);
    std::mt19937 random(7);
    for (char& byte : frame.bits)
        byte = static_cast<char>(random());
    const QString path = Path(QStringLiteral("noise.png"));
    ASSERT_TRUE(Save(Wrap(frame), path, Encoder("png")).Succeeded());
    EXPECT_GE(ReadFile(path).count("IDAT"), 3);
    EXPECT_EQ(DecodeToRgb24(path), TopDownRgb(frame));
}

TEST_F(EncoderTest, JpegKeepsTheFrameCloseAtQualityEighty)
{
    const TestFrame frame = GenerateFrame(1280, 720);
    ASSERT_FALSE(frame.bits.isEmpty());
    const QString path = Path(QStringLiteral("frame.jpg"));
    ASSERT_TRUE(Save(Wrap(frame), path, Encoder("jpeg"), {80}).Succeeded());
    EXPECT_GE(Psnr(DecodeToRgb24(path), TopDownRgb(frame)), 35.0);
}

TEST_F(EncoderTest, JpegQualityReachesTheEncoderUnchanged)
{
    const TestFrame frame = GenerateFrame(320, 240);
    ASSERT_FALSE(frame.bits.isEmpty());
    double lastPsnr = 0;
    qint64 lastSize = 0;
    for (const std::uint32_t quality : {1u, 50u, 100u}) {
        const QString path = Path(QStringLiteral("q%1.jpg").arg(quality));
        ASSERT_TRUE(Save(Wrap(frame), path, Encoder("jpeg"), {quality}).Succeeded());
        const double psnr = Psnr(DecodeToRgb24(path), TopDownRgb(frame));
        EXPECT_GT(psnr, lastPsnr) << quality;
        EXPECT_GT(QFileInfo(path).size(), lastSize) << quality;
        lastPsnr = psnr;
        lastSize = QFileInfo(path).size();
    }
}

// From quality 90 on the colour keeps every pixel, as image editors keep it at
// their finest settings; below, it is stored at half the width and height.
TEST_F(EncoderTest, JpegKeepsFullColourFromQualityNinety)
{
    const TestFrame bars = GenerateFrame(320, 240, QStringLiteral("testsrc"));
    ASSERT_FALSE(bars.bits.isEmpty());
    const QString png = Path(QStringLiteral("bars.png"));
    ASSERT_TRUE(Save(Wrap(bars), png, Encoder("png")).Succeeded());
    const struct {
        std::uint32_t quality;
        const char* pixelFormat; // as ffprobe names the JPEG's sampling
    } cases[] = {{89, "yuvj420p"}, {90, "yuvj444p"}, {100, "yuvj444p"}};
    for (const auto& c : cases) {
        const QString path = Path(QStringLiteral("bars%1.jpg").arg(c.quality));
        ASSERT_TRUE(Save(Wrap(bars), path, Encoder("jpeg"), {c.quality}).Succeeded());
        EXPECT_EQ(ProbePixelFormat(path), c.pixelFormat) << c.quality;
    }
    EXPECT_GE(Psnr(DecodeToRgb24(Path(QStringLiteral("bars100.jpg"))), DecodeToRgb24(png)), 45.0);
}

TEST_F(EncoderTest, JpegRefusesAQualityOutsideItsRangeAndLeavesNoFile)
{
    const TestFrame frame = SolidFrame(16, 16, 1, 2, 3);
    for (const std::uint32_t quality : {101u, 0xFFFFFFFFu}) {
        const QString path = Path(QStringLiteral("bad.jpg"));
        const ImageResult result = Save(Wrap(frame), path, Encoder("jpeg"), {quality});
        EXPECT_EQ(result.status, ImageStatus::GenericError) << quality;
        EXPECT_TRUE(result.text.startsWith(path)) << result.text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path)) << quality;
    }
}

TEST_F(EncoderTest, GifShowsEachIndexAsItsPaletteColour)
{
    const IndexedPicture picture;
    const Bitmap bitmap(IndexedPicture::kWidth, IndexedPicture::kHeight, picture.indices.data(),
                        picture.indices.size(), picture.palette);
    const QString path = Path(QStringLiteral("frame.gif"));
    ASSERT_TRUE(Save(bitmap, path, Encoder("gif")).Succeeded());
    EXPECT_EQ(DecodeToRgb24(path), picture.Rgb());
}

TEST_F(EncoderTest, EachEncoderRefusesTheOtherPixelFormat)
{
    const TestFrame frame = SolidFrame(4, 4, 9, 9, 9);
    const IndexedPicture picture;
    const Bitmap indexed(IndexedPicture::kWidth, IndexedPicture::kHeight, picture.indices.data(),
                         picture.indices.size(), picture.palette);
    for (const NamedEncoder& encoder : kEncoders) {
        const bool wantsIndexed = encoder.name == "gif";
        const QString path = Path(QStringLiteral("wrong"));
        const ImageResult result =
            wantsIndexed ? Save(Wrap(frame), path, encoder.encode) : Save(indexed, path, encoder.encode, {80});
        EXPECT_EQ(result.status, ImageStatus::InvalidParameter) << encoder.name;
        EXPECT_FALSE(QFileInfo::exists(path)) << encoder.name;
    }
}

TEST_F(EncoderTest, AFrameLargerThanItsBufferIsNotWritten)
{
    const TestFrame frame = SolidFrame(8, 8, 1, 1, 1);
    const Bitmap bitmap(8, 9, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
    const QString path = Path(QStringLiteral("short.png"));
    EXPECT_EQ(Save(bitmap, path, Encoder("png")).status, ImageStatus::InvalidParameter);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(EncoderTest, AFileThatCannotBeCreatedIsAFileError)
{
    const TestFrame frame = SolidFrame(8, 8, 1, 1, 1);
    const QString path = Path(QStringLiteral("missing/frame.png"));
    const ImageResult result = Save(Wrap(frame), path, Encoder("png"));
    EXPECT_EQ(result.status, ImageStatus::FileError);
    EXPECT_EQ(result.text, path + QStringLiteral(": No such file or directory"));
}

// Lowers the largest file this process may write, so that every write past it fails.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(EncoderTest, AFailedWriteLeavesNoHalfWrittenFile)
{
    const TestFrame frame = GenerateFrame(640, 480);
    ASSERT_FALSE(frame.bits.isEmpty());
    const IndexedPicture small;
    std::vector<std::uint8_t> indices(640 * 480);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    const Bitmap indexed(640, 480, indices.data(), indices.size(), small.palette);
    for (const NamedEncoder& encoder : kEncoders) {
        const bool wantsIndexed = encoder.name == "gif";
        const QString path = Path(QStringLiteral("full"));
        ImageResult result;
        {
            const FileSizeLimit limit(4096);
            result = wantsIndexed ? Save(indexed, path, encoder.encode)
                                  : Save(Wrap(frame), path, encoder.encode, {95});
        }
        EXPECT_EQ(result.status, ImageStatus::FileError) << encoder.name;
        EXPECT_EQ(result.text, path + QStringLiteral(": File too large")) << encoder.name;
        EXPECT_TRUE(Leftovers().isEmpty()) << Leftovers().join(u' ').toStdString();
    }
}

} // namespace
