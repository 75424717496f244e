#pragma once

#include "platform/imaging/Bitmap.h"

#include <QString>

#include <cstdint>
#include <optional>

class OutputFile;

// From this JPEG quality on the colour keeps every pixel (4:4:4), as image
// editors keep it at their finest settings; below it, colour is stored at
// half the width and height (4:2:0), which a viewer hardly sees and which
// makes smaller files.
inline constexpr int kJpegFullColourQuality = 90;

struct EncoderParameters {
    std::optional<std::uint32_t> quality; // JPEG only: 1 (smallest) to 100 (best)
};

using EncodeFunction = ImageResult (*)(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);

// Writes the bitmap with the encoder into the file and commits it, ready to
// be placed under its name; on failure the file is left uncommitted (and
// goes with its owner).
ImageResult SaveImageToFile(const Bitmap& bitmap, OutputFile& file, EncodeFunction encode,
                            const EncoderParameters& parameters = {});
