#pragma once

// Thin owners of FFmpeg objects, one deleter per free function. Only the
// media layer's own .cpp files include this header.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
}

#include <memory>

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FilterGraphFreer {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct FilterInOutFreer {
    void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};

using InputHandle = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecHandle = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FrameHandle = std::unique_ptr<AVFrame, FrameFreer>;
using PacketHandle = std::unique_ptr<AVPacket, PacketFreer>;
using FilterGraphHandle = std::unique_ptr<AVFilterGraph, FilterGraphFreer>;
using FilterInOutHandle = std::unique_ptr<AVFilterInOut, FilterInOutFreer>;
