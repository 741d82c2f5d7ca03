#pragma once
// Reads the audio stream of one file through FFmpeg (libavformat demuxer, libavcodec decoder,
// libswresample) as 16-bit signed interleaved PCM at the stream's own rate and channel count,
// from any start position, exact to the sample. The core of the MP3 decoder and the WMA
// reader; each of them says with a StreamRules which files it takes.
//
// Positions are sample frames of the decoded stream: sample 0 is the first one a reader opened
// at 0 hands out (FFmpeg has already dropped an encoder delay announced by the file), and the
// sample at t ms is round(t * rate / 1000).
//
// Threads: an instance is used from one thread at a time (the caller's); it starts none and
// keeps nothing global. It owns every FFmpeg object and its staging buffer, all released by
// Close or the destructor. Nothing here throws except std::bad_alloc from Open and
// Seek (which may open the file again).
#include "engines/FfmpegPtrs.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace decode {

using engines::CodecContextPtr;
using engines::FormatInputPtr;
using engines::FramePtr;
using engines::PacketPtr;
using engines::SwrPtr;

struct StreamRules {
    const char* demuxer = nullptr;           // libavformat's name of the container: "mp3", "asf"
    std::span<const AVCodecID> codecs;       // the audio codecs accepted inside it; must outlive the reader
    const char* preferredDecoder = nullptr;  // decoder by name ("mp3float"); FFmpeg's default when absent
};

class PcmReader {
public:
    PcmReader() = default;
    ~PcmReader() { Close(); }
    PcmReader(const PcmReader&) = delete;
    PcmReader& operator=(const PcmReader&) = delete;

    // Closes any earlier file, then opens path and decodes its first samples, which fix the
    // output format. False (and closed) for a missing, empty, foreign or undecodable file. The
    // reader then stands at sample 0.
    bool Open(const char* path, const StreamRules& rules);

    // Positions the reader so that the next sample read is the one at ms (negative: 0; past
    // the end: reads answer 0). It jumps to a frame well before that sample, decodes from
    // there (so the decoder's overlap and bit reservoir are filled) and drops the samples
    // before it; where the file cannot be jumped in, it decodes from the start. False when the
    // file fails on the way; the reader is then closed.
    bool Seek(int64_t ms);

    // Copies up to maxBytes (rounded down to whole sample frames) of PCM into out and answers
    // the bytes written; 0 at the end of the stream, after an error, or when not open. Audio
    // decoded beyond maxBytes stays in the staging buffer for the next call; nothing is
    // allocated here.
    size_t Read(uint8_t* out, size_t maxBytes);

    void Close();

    bool IsOpen() const { return decoder_ != nullptr; }
    int Rate() const { return rate_; }         // Hz
    int Channels() const { return channels_; }
    int64_t BitrateBps() const { return bitrate_; } // bit/s; the file's average when it varies; 0 unknown
    int64_t DurationMs() const { return durationMs_; } // 0 when the file does not tell

private:
    bool Fail();
    bool DecodeFirstFrame();
    bool ReceiveFrame();
    bool FeedPacket();
    bool HandleFrame();
    bool Jump(int64_t target);
    bool EnsureConverter(const AVFrame& frame);
    bool Refill();
    void Stage(int converted);
    bool PlaceFrame(const AVFrame& frame);
    void MeasureFile();
    size_t FrameBytes() const { return static_cast<size_t>(channels_) * 2; }

    std::string path_;
    StreamRules rules_;

    // Released in reverse order: converter, frame, packet, decoder, then the input.
    FormatInputPtr input_;
    CodecContextPtr decoder_;
    PacketPtr packet_;
    FramePtr frame_;
    SwrPtr converter_;
    AVChannelLayout converterInLayout_{}; // what converter_ was set up for, with the two below
    int converterInRate_ = 0;
    int converterInFormat_ = -1;

    int stream_ = -1;
    AVRational timeBase_{0, 1};
    int rate_ = 0;
    int channels_ = 0;
    int64_t bitrate_ = 0;
    int64_t durationMs_ = 0;

    // Converted samples not yet handed out: bytes [stagedBegin_, stagedEnd_) of staging_,
    // which is sized once in Open.
    std::vector<uint8_t> staging_;
    size_t stagedBegin_ = 0;
    size_t stagedEnd_ = 0;

    int64_t originPts_ = AV_NOPTS_VALUE;     // timestamp of sample 0, in timeBase_
    int64_t firstPacketPts_ = AV_NOPTS_VALUE;
    int64_t frameGrid_ = 0;      // greatest common divisor of the frame lengths seen (samples)
    int64_t nextFramePos_ = 0;   // position of the next decoded frame's first sample
    int64_t dropUntil_ = 0;      // samples before this position are decoded and thrown away
    int64_t pendingDrop_ = 0;    // of the frame being converted, samples still to throw away
    bool framePending_ = false;  // frame_ is decoded but not yet handled
    bool placeNextFrame_ = false; // after a jump: the next frame's position comes from its timestamp
    bool misplaced_ = false;     // a frame after a jump lay beyond the target or had no timestamp
    bool atStart_ = false;       // nothing handed out and no seek since Open
    bool flushed_ = false;       // the decoder was told the input ended
    bool ended_ = false;
};

} // namespace decode
