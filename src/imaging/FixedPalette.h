#pragma once

#include "platform/imaging/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The 256-colour palette GIF pictures are reduced to: the twenty static
// colours of the classic 8-bit desktop palette at both ends, eighteen hue
// ramps of twelve entries and twenty greys between them.
const Palette& FixedPalette();

// One palette index per pixel, rows bottom-up as an 8-bit bitmap lays them
// out, each padded to 4 bytes.
struct IndexedFrame {
    std::vector<std::uint8_t> indices;
    std::size_t stride = 0;
};

// Each pixel, visited row by row from the bottom up and left to right, becomes
// the nearest palette entry (smallest squared distance, lower index on a
// tie); its error is carried on in sixteenths: 7 to the next pixel, 2, 4 and
// 1 to the pixels before, at and after it in the next row up, each share
// truncated toward zero and each receiving channel clamped to 0..255.
// The frame must be a valid 24-bit bitmap; it is not modified.
IndexedFrame ReduceToFixedPalette(const Bitmap& frame);
