#pragma once

#include "platform/media/FfmpegHandles.h"
#include "platform/media/MediaResult.h"

#include <cstdint>

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
PictureRect FitPicture(double displayAspect, int width, int height, int stretchMode);

// Draws decoded pictures into bottom-up BGR24 frames with rows padded to 4
// bytes. The scaler context is kept until the source or target changes.
class FrameScaler final {
public:
    FrameScaler() = default;
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;

    // rotation: clockwise degrees, a multiple of 90.
    MediaResult Draw(const AVFrame& picture, int rotation, int stretchMode, std::uint8_t* buffer, int width,
                     int height);

private:
    struct Key {
        int sourceWidth = 0;
        int sourceHeight = 0;
        int sourceFormat = -1;
        int colorspace = -1;
        bool fullRange = false;
        int targetWidth = 0;
        int targetHeight = 0;

        bool operator==(const Key&) const = default;
    };

    SwsContext* Context(const AVFrame& picture, int width, int height);
    AVFrame* Scaled(int width, int height);

    SwsHandle context_;
    Key key_;
    FrameHandle scaled_; // the scaled picture, before it is copied into place
};
