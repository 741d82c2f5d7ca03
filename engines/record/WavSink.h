#pragma once
// 16-bit PCM in RIFF/WAVE, RF64 past 4 GiB. The header's sizes are rewritten at every
// checkpoint, so a file cut off at any moment is valid and holds everything up to the last
// checkpoint.
#include "AudioSink.h"
#include "FileWriter.h"

namespace record {

class WavSink : public AudioSink {
public:
    // append: continue the existing file at startMs (its own format; what follows is cut off).
    WavSink(std::string path, int rate, int channels, bool append, int32_t startMs);

    bool Prepare(std::string& error) override;
    int Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    bool Open(std::string& error) override;
    void Write(const int16_t* interleaved, size_t frames) override;
    void Checkpoint() override;
    void Finish() override;

    // A file with no room for the 64-bit sizes (an old 44-byte header, continued) stays
    // within 4 GiB + 8 bytes: the 32-bit RIFF size holds no more.
    static constexpr uint64_t MaxRiffFileBytes = 0xFFFFFFFFull + 8;

private:
    void WriteSizes(uint64_t dataBytes);

    std::string path_;
    int rate_;
    int channels_;
    bool append_;
    int32_t startMs_;
    uint64_t dataOffset_ = 0;
    uint64_t ds64At_ = 0;     // where the 64-bit sizes go; 0 when the file has no room for them
    bool rf64_ = false;       // the header says RF64 now
    uint64_t continueAt_ = 0; // the cut, when continuing
    FileWriter file_;
};

} // namespace record
