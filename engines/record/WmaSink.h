#pragma once
// WMA (wmav2) in an ASF file through libavformat, written through our file writer so that a
// full disk leaves room for the ASF trailer. It cannot be continued.
#include "AudioSink.h"
#include "FfmpegEncoder.h"
#include "FileWriter.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace record {

class WmaSink : public AudioSink {
public:
    WmaSink(std::string path, int rate, int channels, int kbps);
    ~WmaSink() override;

    bool Prepare(std::string& error) override;
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    bool Open(std::string& error) override;
    void Write(const int16_t* interleaved, size_t frames) override;
    void Checkpoint() override;
    void Finish() override;

private:
    void Put(AVPacket& packet);
    void FreeIo();
    // The muxer's output, called by libavformat: writes at the muxer's position, which it
    // moves back to the header at the end.
    static int WriteOut(void* self, const uint8_t* data, int size);
    static int64_t SeekTo(void* self, int64_t offset, int whence);

    std::string path_;
    int rate_;
    int channels_;
    int kbps_;
    FfmpegEncoder encoder_;
    engines::FormatOutputPtr output_;
    AVStream* stream_ = nullptr;
    AVIOContext* io_ = nullptr;
    FileWriter file_;
    uint64_t ioPosition_ = 0;
    uint64_t framesIn_ = 0;
    bool headerWritten_ = false;
};

// True when the wmav2 encoder takes this format (bitrate in bit/s).
bool WmaEncoderAccepts(int rate, int channels, int64_t bitrate);

} // namespace record
