#pragma once
// Owners for the FFmpeg objects of the encoders and decoders: each unique_ptr frees its object
// with FFmpeg's own free function (which also clears FFmpeg's pointer), so an owner releases
// everything by resetting or destroying its members, in reverse order of declaration.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace engines {

// An input opened by avformat_open_input: closed (file handle and all) by avformat_close_input.
struct FormatInputClose { void operator()(AVFormatContext* f) const { avformat_close_input(&f); } };
struct CodecContextFree { void operator()(AVCodecContext* c) const { avcodec_free_context(&c); } };
struct FrameFree { void operator()(AVFrame* f) const { av_frame_free(&f); } };
struct PacketFree { void operator()(AVPacket* p) const { av_packet_free(&p); } };
// An output whose file was opened with avio_open: the file is closed before the context goes.
struct FormatOutputFree {
    void operator()(AVFormatContext* c) const
    {
        if (c->pb)
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct SwrFree { void operator()(SwrContext* s) const { swr_free(&s); } };

using FormatInputPtr = std::unique_ptr<AVFormatContext, FormatInputClose>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using FormatOutputPtr = std::unique_ptr<AVFormatContext, FormatOutputFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;

} // namespace engines
