#pragma once

#include "platform/media/FfmpegHandles.h"
#include "platform/media/MediaResult.h"

#include <string>

// One libavfilter graph fed one frame at a time: a buffer source shaped like
// the frame it is built for, the filters of a description in the library's
// own syntax, and a buffer sink.
class FilterChain final {
public:
    FilterChain() = default;
    FilterChain(const FilterChain&) = delete;
    FilterChain& operator=(const FilterChain&) = delete;

    // CannotConnect when the library refuses the description for such frames.
    MediaResult Build(const AVFrame& shape, const std::string& filters);
    bool Built() const { return graph_ != nullptr; }
    void Reset();

    // Takes the frame's reference; the frame is left blank.
    MediaResult Push(AVFrame& frame);
    // No more frames: what the filters still hold comes out.
    MediaResult PushEnd();
    // Ok with a frame; False while the filters wait for more input; EndOfData
    // once everything pushed before the end has come out.
    MediaResult Pull(AVFrame& frame);

private:
    MediaResult Connect(const std::string& filters);

    FilterGraphHandle graph_;
    AVFilterContext* source_ = nullptr; // owned by the graph
    AVFilterContext* sink_ = nullptr;
    std::int64_t pushed_ = 0; // the next frame's timestamp: frames are counted, not timed
};
