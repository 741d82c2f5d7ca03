#pragma once
// WMA (wmav2) in an ASF file through libavformat. It cannot be continued.
#include "AudioSink.h"
#include "FfmpegEncoder.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace record {


class WmaSink : public AudioSink {
public:
    WmaSink(std::string path, int rate, int channels, int kbps);

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
    FfmpegEncoder encoder_;
    engines::FormatOutputPtr output_;
    AVStream* stream_ = nullptr;
    bool headerWritten_ = false;
};

// True when the wmav2 encoder takes this format (bitrate in bit/s).
bool WmaEncoderAccepts(int rate, int channels, int64_t bitrate);

} // namespace record
