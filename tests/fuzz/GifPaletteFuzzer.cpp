// Reduces frames of any size up to 256x256 and any content to the GIF
// palette. The first two bytes give the width and the height; the rest are
// the pixels, padded with zeros to fill the frame.
#include "imaging/FixedPalette.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int width = data[0] + 1;
    const int height = data[1] + 1;
    const auto stride = static_cast<std::size_t>(Bitmap::RowStride(width, 24));
    // A buffer of exactly the frame's size, so that a read past it is caught.
    std::vector<std::uint8_t> pixels(stride * static_cast<std::size_t>(height));
    std::memcpy(pixels.data(), data + 2, std::min(size - 2, pixels.size()));
    const Bitmap frame(width, height, pixels.data(), pixels.size());
    if (!frame.IsValid())
        std::abort();
    const IndexedFrame reduced = ReduceToFixedPalette(frame);
    if (reduced.indices.size() != reduced.stride * static_cast<std::size_t>(height) ||
        reduced.stride < static_cast<std::size_t>(width))
        std::abort();
    return 0;
}
