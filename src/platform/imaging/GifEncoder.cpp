#include "platform/imaging/Encoders.h"
#include "platform/imaging/OutputFile.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {
// GIF sizes are 16-bit.
constexpr int kMaxGifSide = 65535;

struct GifCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
struct ColorMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;
using ColorMap = std::unique_ptr<ColorMapObject, ColorMapDeleter>;

int WriteToFile(GifFileType* gif, const GifByteType* data, int size)
{
    auto* file = static_cast<OutputFile*>(gif->UserData);
    return file->Write(data, static_cast<std::size_t>(size)) ? size : 0;
}

ColorMap MakeColorMap(const Palette& palette)
{
    ColorMap map(GifMakeMapObject(static_cast<int>(palette.size()), nullptr));
    if (!map)
        return nullptr;
    for (std::size_t i = 0; i < palette.size(); ++i)
        map->Colors[i] = GifColorType{palette[i].red, palette[i].green, palette[i].blue};
    return map;
}

// giflib masks the line it is given, so each row goes through a copy of its own.
bool WriteRows(GifFileType* gif, const Bitmap& bitmap)
{
    std::vector<GifPixelType> line(static_cast<std::size_t>(bitmap.Width()));
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::memcpy(line.data(), bitmap.Row(y), line.size());
        if (EGifPutLine(gif, line.data(), bitmap.Width()) == GIF_ERROR)
            return false;
    }
    return true;
}

bool WriteGif(GifHandle gif, const Bitmap& bitmap, const ColorMapObject* map, int& error)
{
    if (EGifPutScreenDesc(gif.get(), bitmap.Width(), bitmap.Height(), 8, 0, map) == GIF_ERROR
        || EGifPutImageDesc(gif.get(), 0, 0, bitmap.Width(), bitmap.Height(), false, nullptr) == GIF_ERROR
        || !WriteRows(gif.get(), bitmap)) {
        error = gif->Error;
        return false;
    }
    // Closing writes the trailer, so its result counts too.
    return EGifCloseFile(gif.release(), &error) == GIF_OK;
}
} // namespace

ImageResult EncodeGif(const Bitmap& bitmap, OutputFile& file, const EncoderParameters&)
{
    if (bitmap.Format() != PixelFormat::Indexed8 || bitmap.GetPalette() == nullptr)
        return InvalidInput(file, "GIF needs an 8-bit frame with its palette");
    if (bitmap.Width() > kMaxGifSide || bitmap.Height() > kMaxGifSide)
        return InvalidInput(file, "the frame is too large for GIF");
    const ColorMap map = MakeColorMap(*bitmap.GetPalette());
    int error = 0;
    GifHandle gif(EGifOpen(&file, WriteToFile, &error));
    if (!map || !gif)
        return {ImageStatus::OutOfMemory, file.Path() + QStringLiteral(": cannot start the GIF writer")};
    if (!WriteGif(std::move(gif), bitmap, map.get(), error))
        return EncoderFailure(file, QString::fromLocal8Bit(GifErrorString(error)));
    return {};
}
