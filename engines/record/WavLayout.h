#pragma once
// Where the audio of an existing 16-bit PCM WAV file lies, read for continuing it.
#include <cstdint>
#include <optional>
#include <string>

namespace record {

struct WavLayout {
    int rate = 0;
    int channels = 0;
    uint64_t dataOffset = 0; // first byte of the samples
    uint64_t dataBytes = 0;  // whole sample frames inside the file
};

// Nothing when the file is not a RIFF WAVE of 16-bit PCM, mono or stereo, with "fmt " before
// "data". A data size past the end of the file is cut to what the file holds.
std::optional<WavLayout> ReadWavLayout(const std::string& path);

} // namespace record
