#pragma once

#include "platform/media/FfmpegHandles.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"

#include <string>

// An opened media file with its first video stream located; shared by the
// probe and the render engine so that both measure time the same way.
struct MediaInput {
    InputHandle format;
    int videoStream = -1; // -1: the file has no video
};

MediaResult OpenMediaInput(const std::string& path, MediaInput& input);

// The file's first timestamp in media units; media time 0 is this instant.
MediaTime FileStartOffset(const AVFormatContext& format);

// A stream timestamp as media time (from the start of the file).
MediaTime StreamToMediaTime(const AVFormatContext& format, const AVStream& stream, std::int64_t ts);
// A media time as a timestamp of the stream, rounded down.
std::int64_t MediaToStreamTime(const AVFormatContext& format, const AVStream& stream, MediaTime time);

// Clockwise rotation in degrees (0, 90, 180 or 270) that the stream asks for
// when it is displayed.
int DisplayRotation(const AVStream& stream);

// Size of the stream's pictures as displayed: rotation applied, sample
// aspect ratio not.
void DisplayedSize(const AVStream& stream, int& width, int& height);
