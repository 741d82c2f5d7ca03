#pragma once
// 16-bit PCM in RIFF/WAVE. The header's sizes are rewritten at every checkpoint, so a file
// cut off at any moment is valid and holds everything up to the last checkpoint.
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

    // RIFF sizes are 32-bit: the whole file stays within 4 GiB + 8 bytes.
    static constexpr uint64_t MaxFileBytes = 0xFFFFFFFFull + 8;

private:
    std::string path_;
    int rate_;
    int channels_;
    bool append_;
    int32_t startMs_;
    uint64_t dataOffset_ = 44;
    uint64_t continueAt_ = 0; // the cut, when continuing
    FileWriter file_;
};

} // namespace record
