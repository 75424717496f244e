#pragma once

#include "platform/media/FfmpegHandles.h"
#include "platform/media/MediaResult.h"
#include "platform/media/MediaTime.h"

#include <string>

// An opened media file with its first video stream located; shared by the
// probe and the frame extractor so that both measure time the same way.
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

// How a stream asks its pictures to be displayed: flipped upside down when
// mirrored, then turned clockwise by quarter turns. Every turn and mirror of
// a display matrix is one of these eight.
struct DisplayOrientation {
    int quarterTurns = 0; // 0 to 3
    bool mirrored = false;

    bool Sideways() const { return quarterTurns % 2 != 0; }
    bool operator==(const DisplayOrientation&) const = default;
};

DisplayOrientation StreamOrientation(const AVStream& stream);

// The shape of the stream's pixels: the container's flag wins over the
// codec's (coded: a decoded picture's or the stream parameters'), as in
// FFmpeg's own guess; 1:1 when neither is plausible.
AVRational SampleAspect(const AVStream& stream, AVRational coded);

// Size of the stream's pictures as displayed: the width stretched by the
// sample aspect ratio (720x576 flagged 16:9 shows as 1024x576), then turned
// as the stream's orientation says.
void DisplayedSize(const AVStream& stream, int& width, int& height);
