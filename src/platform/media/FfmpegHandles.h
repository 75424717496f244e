#pragma once

// Thin owners of FFmpeg objects, one deleter per free function. Only the
// media layer's own .cpp files include this header.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
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
struct SwsFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

using InputHandle = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecHandle = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FrameHandle = std::unique_ptr<AVFrame, FrameFreer>;
using PacketHandle = std::unique_ptr<AVPacket, PacketFreer>;
using SwsHandle = std::unique_ptr<SwsContext, SwsFreer>;
