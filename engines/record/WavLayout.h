#pragma once
// Where the audio of an existing 16-bit PCM WAV file lies, read for continuing it, and the
// layout of the files we write: RIFF/WAVE that becomes RF64 when it passes 4 GiB.
#include <cstdint>
#include <optional>
#include <string>

namespace record {

// The file we write: "RIFF" size "WAVE", a 28-byte "JUNK" chunk kept for the 64-bit sizes,
// "fmt " (16 bytes of PCM format), then "data" to the end.
inline constexpr uint64_t Ds64At = 12;           // the JUNK chunk that becomes "ds64"
inline constexpr uint32_t Ds64Bytes = 28;        // its body: RIFF size, data size, frames, table length
inline constexpr uint64_t WavDataOffset = 80;    // first byte of the samples
// Past this the 32-bit RIFF size no longer holds the file's size less 8.
inline constexpr uint64_t RiffSizeLimit = 0xFFFFFFFFull;

struct WavLayout {
    int rate = 0;
    int channels = 0;
    uint64_t dataOffset = 0; // first byte of the samples
    uint64_t dataBytes = 0;  // whole sample frames inside the file
    // The chunk right after WAVE that holds (ds64) or can hold (JUNK of 28 bytes or more) the
    // 64-bit sizes; 0 when there is none, as in files of 44-byte headers.
    uint64_t ds64At = 0;
    bool rf64 = false; // the header is "RF64" now
};

// Nothing when the file is not a RIFF (or RF64) WAVE of 16-bit PCM, mono or stereo, with
// "fmt " before "data". A data size past the end of the file is cut to what the file holds;
// an RF64 file's sizes come from its ds64 chunk.
std::optional<WavLayout> ReadWavLayout(const std::string& path);

} // namespace record
