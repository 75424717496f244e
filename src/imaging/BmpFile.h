#pragma once

#include "imaging/PictureFormats.h"

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;
inline constexpr std::size_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// The file header and the information header of a 24-bit uncompressed BMP
// whose pixel data is dataLength bytes, little-endian and unpadded.
std::array<std::uint8_t, kBmpHeadersSize> BmpHeaders(std::int32_t width, std::int32_t height, std::uint32_t dataLength);

// The BMP writer: both headers and the frame's rows from the bottom up, each
// padded to 4 bytes with zeros; the file is committed.
ImageResult SaveAsBmp(const Bitmap& frame, OutputFile& file);
