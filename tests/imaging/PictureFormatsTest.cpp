#include "imaging/BmpFile.h"
#include "imaging/FixedPalette.h"
#include "imaging/PictureFormats.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/OutputFile.h"

#include "support/Frames.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

namespace {
Bitmap Wrap(const TestFrame& frame)
{
    return Bitmap(frame.width, frame.height, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
}

using Writer = std::function<ImageResult(const Bitmap&, OutputFile&)>;

// Saves as a conversion does: into a temporary file that then takes the name path.
ImageResult SaveAt(const QString& path, const std::function<ImageResult(OutputFile&)>& save)
{
    OutputFile file(path);
    ImageResult result = save(file);
    if (result.Succeeded() && file.PlaceAs(path) != OutputFile::Placement::Placed)
        result = {ImageStatus::FileError, file.ErrorText()};
    return result;
}

ImageResult SaveAt(const QString& path, const Writer& write, const Bitmap& bitmap)
{
    return SaveAt(path, [&](OutputFile& file) { return write(bitmap, file); });
}

struct WriterCase {
    const char* name;
    Writer write;
};

const std::vector<WriterCase>& Writers()
{
    static const std::vector<WriterCase> writers{
        {"bmp", SaveAsBmp},
        {"jpg", [](const Bitmap& b, OutputFile& f) { return SaveAsJpeg(80, b, f); }},
        {"png", SaveAsPng},
        {"tif", SaveAsTiff},
        {"gif", SaveAsGif},
    };
    return writers;
}

class PictureWritersTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
};

TEST_F(PictureWritersTest, EachWriterSucceeds)
{
    const TestFrame frame = GenerateFrame(161, 90);
    ASSERT_FALSE(frame.bits.isEmpty());
    for (const WriterCase& writer : Writers()) {
        const Bitmap bitmap = Wrap(frame);
        const QString path = Path(QStringLiteral("frame.") + QString::fromLatin1(writer.name));
        EXPECT_TRUE(SaveAt(path, writer.write, bitmap).Succeeded()) << writer.name;
        EXPECT_EQ(DecodeToRgb24(path).size(), 161 * 90 * 3) << writer.name;
    }
}

TEST_F(PictureWritersTest, AFailedSaveSaysWhy)
{
    const TestFrame frame = SolidFrame(8, 8, 1, 2, 3);
    for (const WriterCase& writer : Writers()) {
        const QString path = Path(QStringLiteral("missing/frame"));
        const ImageResult result = SaveAt(path, writer.write, Wrap(frame));
        EXPECT_EQ(result.status, ImageStatus::FileError) << writer.name;
        EXPECT_TRUE(result.text.startsWith(path)) << writer.name;
    }
}

TEST_F(PictureWritersTest, AFrameThatDoesNotFitItsBufferIsRefused)
{
    const TestFrame frame = SolidFrame(8, 8, 1, 2, 3);
    for (const WriterCase& writer : Writers()) {
        const Bitmap bitmap(8, 9, frame.Data(), static_cast<std::size_t>(frame.bits.size()));
        EXPECT_EQ(SaveAt(Path(QStringLiteral("short")), writer.write, bitmap).status, ImageStatus::InvalidParameter)
            << writer.name;
        EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("short"))));
    }
}

TEST_F(PictureWritersTest, JpegQualityOutsideTheEncoderRangeFails)
{
    const TestFrame frame = SolidFrame(8, 8, 1, 2, 3);
    const Bitmap bitmap = Wrap(frame);
    const QString path = Path(QStringLiteral("q.jpg"));
    EXPECT_EQ(SaveAt(path, [&](OutputFile& file) { return SaveAsJpeg(101, bitmap, file); }).status,
              ImageStatus::GenericError);
    EXPECT_TRUE(SaveAt(path, [&](OutputFile& file) { return SaveAsJpeg(100, bitmap, file); }).Succeeded());
}

QByteArray PaletteRgb(const IndexedFrame& reduced, int width, int height)
{
    QByteArray rgb;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& entry = FixedPalette()[reduced.indices[reduced.stride * static_cast<std::size_t>(y)
                                                                       + static_cast<std::size_t>(x)]];
            rgb.append(static_cast<char>(entry.red));
            rgb.append(static_cast<char>(entry.green));
            rgb.append(static_cast<char>(entry.blue));
        }
    return rgb;
}

TEST_F(PictureWritersTest, GifHoldsTheReducedFrameInPaletteColours)
{
    const TestFrame frame = GenerateFrame(321, 240);
    ASSERT_FALSE(frame.bits.isEmpty());
    Bitmap bitmap = Wrap(frame);
    const QString path = Path(QStringLiteral("frame.gif"));
    ASSERT_TRUE(SaveAt(path, SaveAsGif, bitmap).Succeeded());
    const QByteArray decoded = DecodeToRgb24(path);
    ASSERT_EQ(decoded.size(), 321 * 240 * 3);
    std::set<std::tuple<char, char, char>> palette;
    for (const PaletteEntry& entry : FixedPalette())
        palette.insert({static_cast<char>(entry.red), static_cast<char>(entry.green), static_cast<char>(entry.blue)});
    for (qsizetype i = 0; i < decoded.size(); i += 3)
        ASSERT_TRUE(palette.count({decoded[i], decoded[i + 1], decoded[i + 2]})) << "pixel " << i / 3;
    EXPECT_EQ(decoded, PaletteRgb(ReduceToFixedPalette(bitmap), 321, 240));
    EXPECT_GT(Psnr(decoded, TopDownRgb(frame)), 20.0);
}

TEST_F(PictureWritersTest, GifShowsTheFirstRampAsListed)
{
    const std::vector<std::tuple<int, int, int>> ramp{
        {212, 240, 255}, {177, 226, 255}, {142, 212, 255}, {107, 198, 255}, {72, 184, 255}, {37, 170, 255},
        {0, 170, 255},   {0, 146, 220},   {0, 122, 185},   {0, 98, 150},    {0, 74, 115},   {0, 50, 80}};
    TestFrame frame = SolidFrame(12, 1, 0, 0, 0);
    QByteArray expected;
    for (std::size_t x = 0; x < ramp.size(); ++x) {
        const auto [blue, green, red] = ramp[x];
        frame.Data()[x * 3] = static_cast<std::uint8_t>(blue);
        frame.Data()[x * 3 + 1] = static_cast<std::uint8_t>(green);
        frame.Data()[x * 3 + 2] = static_cast<std::uint8_t>(red);
        expected.append(static_cast<char>(red));
        expected.append(static_cast<char>(green));
        expected.append(static_cast<char>(blue));
    }
    Bitmap bitmap = Wrap(frame);
    const QString path = Path(QStringLiteral("ramp.gif"));
    ASSERT_TRUE(SaveAt(path, SaveAsGif, bitmap).Succeeded());
    EXPECT_EQ(DecodeToRgb24(path), expected);
}

// The frame's top is the last row in memory; it must be the GIF's first row.
TEST_F(PictureWritersTest, GifKeepsTheFrameUpright)
{
    TestFrame frame = SolidFrame(4, 2, 0, 0, 0);
    std::fill_n(frame.Data() + frame.stride, 12, std::uint8_t{255});
    Bitmap bitmap = Wrap(frame);
    const QString path = Path(QStringLiteral("upright.gif"));
    ASSERT_TRUE(SaveAt(path, SaveAsGif, bitmap).Succeeded());
    EXPECT_EQ(DecodeToRgb24(path), QByteArray(12, '\xff') + QByteArray(12, '\0'));
}
} // namespace
