#pragma once

#include "platform/media/DrawnPicture.h"
#include "platform/media/FilterChain.h"
#include "platform/media/MediaInput.h"

#include <cstdint>
#include <string>
#include <vector>

// Where a picture lands inside an output frame, in rows from the top.
struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PictureRect&) const = default;
};

// Width over height of a picture as it is seen: sample aspect ratio and a
// quarter-turn rotation applied.
double DisplayAspect(int width, int height, AVRational sampleAspect, int rotation);

// The whole frame when stretching; otherwise the largest rectangle of the
// picture's display aspect, centred (the rest stays black).
PictureRect FitPicture(double displayAspect, int width, int height, bool keepAspect);

// What the filter chain reads a picture's colours as: its own tags, or for
// an untagged picture what players assume (BT.709 for HD, BT.601 for SD).
// Numbers are FFmpeg's colour numbers, never "unspecified".
struct PictureColour {
    int matrix = AVCOL_SPC_BT470BG;
    bool fullRange = false;
    int primaries = AVCOL_PRI_BT709;
    int transfer = AVCOL_TRC_BT709;

    bool operator==(const PictureColour&) const = default;
};

PictureColour ColourOf(const AVFrame& picture);

// The part of the filter chain each drawn picture passes: HDR to SDR,
// colour matrix, range and primaries, scaling, the stream's turn and mirror,
// black bars around a picture that keeps its aspect, and the layout the
// writer takes. It is built for one shape of source picture and target, and
// built again when either changes.
class PictureChain final {
public:
    PictureChain() = default;
    PictureChain(const PictureChain&) = delete;
    PictureChain& operator=(const PictureChain&) = delete;

    // The picture drawn into a width by height frame in the given layout, or
    // in BGR24 when a JPEG's planes cannot come from the source's own: deeper
    // or finer pictures, odd sizes, a matrix colorspace does not know.
    MediaResult Draw(const AVFrame& picture, DisplayOrientation orientation, bool keepAspect, bool toneMapHdr,
                     PictureLayout layout, int width, int height, DrawnPicture& drawn);

private:
    struct Shape {
        int width = 0;
        int height = 0;
        int format = -1;
        PictureColour colour;
        DisplayOrientation orientation;
        bool toneMapHdr = false;
        int scaledWidth = 0; // before the turn
        int scaledHeight = 0;
        PictureRect rect;    // where the turned picture lands in the frame
        int frameWidth = 0;
        int frameHeight = 0;
        PictureLayout layout = PictureLayout::Bgr24;

        bool operator==(const Shape&) const = default;
    };

    static std::string Filters(const Shape& shape);
    // The pixel formats the chain ends in for the shape's writer.
    static std::vector<int> OutputFormats(const Shape& shape);
    MediaResult Filter(const AVFrame& picture, const Shape& shape, DrawnPicture& drawn);

    FilterChain chain_;
    Shape shape_;
    FrameHandle input_{av_frame_alloc()};
    FrameHandle output_{av_frame_alloc()};
};
