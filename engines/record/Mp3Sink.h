#pragma once
// Constant-bitrate MP3 through FFmpeg's libmp3lame encoder, written as plain MPEG audio
// frames (no container), so a file cut off anywhere still plays up to its last whole frame.
#include "AudioSink.h"
#include "FfmpegEncoder.h"
#include "FileWriter.h"

#include <deque>

namespace record {

class Mp3Sink : public AudioSink {
public:
    // append: continue the existing file at the frame boundary at or before startMs, in the
    // file's own rate, channels and bitrate.
    Mp3Sink(std::string path, int rate, int channels, int kbps, bool append, int32_t startMs);

    bool Prepare(std::string& error) override;
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    bool Open(std::string& error) override;
    void Write(const int16_t* interleaved, size_t frames) override;
    void Checkpoint() override;
    void Finish() override;

private:
    void Put(AVPacket& packet);

    std::string path_;
    int rate_;
    int channels_;
    int kbps_;
    bool append_;
    int32_t startMs_;
    size_t cutAt_ = 0;
    // Ends of the frames handed to the file and not yet known to be on the disk, and the end
    // of the last frame that is: after a failed write the file is cut there.
    std::deque<uint64_t> pendingEnds_;
    uint64_t wholeEnd_ = 0;
    FfmpegEncoder encoder_;
    FileWriter file_;
};

} // namespace record
