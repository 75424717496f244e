#pragma once

// How interlaced sources are treated: Automatic deinterlaces only a stream
// that says it is interlaced, in its field order or in its frames' flags.
enum class Deinterlacing { Off, Automatic, Always };

// What happens to a source's pictures beyond size and aspect, on their way
// from the decoder to the frame.
struct VideoProcessing {
    bool toneMapHdr = true; // PQ and HLG sources become BT.709 SDR
    Deinterlacing deinterlacing = Deinterlacing::Automatic;

    bool operator==(const VideoProcessing&) const = default;
};
