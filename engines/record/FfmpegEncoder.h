#pragma once
// An FFmpeg audio encoder fed with interleaved 16-bit samples in any amounts: it fills the
// encoder's frames (converting to its planar sample format) and hands every packet out.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engines/FfmpegPtrs.h"

namespace record {

using engines::CodecContextPtr;
using engines::FramePtr;
using engines::PacketPtr;

class FfmpegEncoder {
public:
    using PacketSink = std::function<void(AVPacket&)>;

    // Opens the encoder by name at that rate, channel count and bitrate (bit/s); globalHeader
    // asks for the codec's extradata (container formats). False, with error, when refused.
    bool Open(const char* codecName, int rate, int channels, int64_t bitrate, bool globalHeader, std::string& error);
    AVCodecContext* Context() const { return context_.get(); }

    void Write(const int16_t* interleaved, size_t frames, const PacketSink& sink);
    // Sends the last partial frame and drains the encoder until it reports the end.
    void Finish(const PacketSink& sink);

private:
    bool EncodeFrame(const AVFrame* frame, const PacketSink& sink);

    CodecContextPtr context_;
    FramePtr frame_;
    PacketPtr packet_;
    int filled_ = 0;     // samples per channel in frame_ so far
    int64_t nextPts_ = 0; // in samples
};

} // namespace record
