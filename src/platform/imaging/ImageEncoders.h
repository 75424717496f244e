#pragma once

#include "platform/imaging/Bitmap.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

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

struct ImageCodecInfo {
    const char* mimeType;
    const char* formatDescription;
    EncodeFunction encode;
};

// The encoders on offer: "image/jpeg", "image/png", "image/tiff", "image/gif".
// JPEG, PNG and TIFF take a 24-bit bitmap (JPEG below full-colour quality
// also YUV 4:2:0 planes), GIF an 8-bit one with its palette.
std::span<const ImageCodecInfo> GetImageEncoders();

// Writes the bitmap with the encoder into the file and commits it, ready to
// be placed under its name; on failure the file is left uncommitted (and
// goes with its owner). Does not touch the bitmap's last status.
ImageResult SaveImageToFile(const Bitmap& bitmap, OutputFile& file, const ImageCodecInfo& encoder,
                            const EncoderParameters& parameters = {});
