#include "platform/media/FilterChain.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

#include <cerrno>
#include <cstdio>

namespace {

MediaResult ResultOf(int error)
{
    return error == AVERROR(ENOMEM) ? MediaResult::OutOfMemory : MediaResult::DecodeFault;
}

// The buffer source's arguments: size, pixel format and shape of the frames.
std::string SourceArguments(const AVFrame& shape)
{
    const AVRational aspect = shape.sample_aspect_ratio.num > 0 && shape.sample_aspect_ratio.den > 0
                                  ? shape.sample_aspect_ratio
                                  : AVRational{1, 1};
    char arguments[128];
    std::snprintf(arguments, sizeof arguments, "video_size=%dx%d:pix_fmt=%d:time_base=1/1:pixel_aspect=%d/%d",
                  shape.width, shape.height, shape.format, aspect.num, aspect.den);
    return arguments;
}

// An end of the description: the named pad of a filter.
FilterInOutHandle Pad(const char* name, AVFilterContext* filter)
{
    FilterInOutHandle pad(avfilter_inout_alloc());
    if (pad) {
        pad->name = av_strdup(name);
        pad->filter_ctx = filter;
        pad->pad_idx = 0;
        pad->next = nullptr;
    }
    return pad;
}

} // namespace

MediaResult FilterChain::Build(const AVFrame& shape, const std::string& filters)
{
    Reset();
    graph_.reset(avfilter_graph_alloc());
    if (!graph_)
        return MediaResult::OutOfMemory;
    // Conversions the library inserts between filters scale as ours do.
    graph_->scale_sws_opts = av_strdup("flags=bicubic");
    if (avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in", SourceArguments(shape).c_str(),
                                     nullptr, graph_.get()) < 0 ||
        avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                     graph_.get()) < 0) {
        Reset();
        return MediaResult::CannotConnect;
    }
    const MediaResult connected = Connect(filters);
    if (Failed(connected))
        Reset();
    return connected;
}

MediaResult FilterChain::Connect(const std::string& filters)
{
    FilterInOutHandle sourceEnd = Pad("in", source_);
    FilterInOutHandle sinkEnd = Pad("out", sink_);
    if (!sourceEnd || !sinkEnd || !graph_->scale_sws_opts)
        return MediaResult::OutOfMemory;
    AVFilterInOut* inputs = sinkEnd.release();
    AVFilterInOut* outputs = sourceEnd.release();
    const int parsed = avfilter_graph_parse_ptr(graph_.get(), filters.empty() ? "null" : filters.c_str(), &inputs,
                                                &outputs, nullptr);
    // The parser hands back what it did not link, whether or not it succeeded.
    sinkEnd.reset(inputs);
    sourceEnd.reset(outputs);
    if (parsed < 0 || avfilter_graph_config(graph_.get(), nullptr) < 0)
        return MediaResult::CannotConnect;
    return MediaResult::Ok;
}

void FilterChain::Reset()
{
    graph_.reset();
    source_ = sink_ = nullptr;
    pushed_ = 0;
}

MediaResult FilterChain::Push(AVFrame& frame)
{
    if (!graph_)
        return MediaResult::WrongState;
    frame.pts = pushed_++;
    const int added = av_buffersrc_add_frame_flags(source_, &frame, 0);
    av_frame_unref(&frame);
    return added < 0 ? ResultOf(added) : MediaResult::Ok;
}

MediaResult FilterChain::PushEnd()
{
    if (!graph_)
        return MediaResult::WrongState;
    const int ended = av_buffersrc_add_frame_flags(source_, nullptr, 0);
    return ended < 0 ? ResultOf(ended) : MediaResult::Ok;
}

MediaResult FilterChain::Pull(AVFrame& frame)
{
    if (!graph_)
        return MediaResult::WrongState;
    const int got = av_buffersink_get_frame(sink_, &frame);
    if (got == AVERROR(EAGAIN))
        return MediaResult::False;
    if (got == AVERROR_EOF)
        return MediaResult::EndOfData;
    return got < 0 ? ResultOf(got) : MediaResult::Ok;
}
