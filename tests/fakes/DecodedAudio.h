#pragma once
// Reads back a recorded file through FFmpeg: the first audio stream, decoded completely and
// converted to 16-bit interleaved samples at the file's own rate and channel count.
#include <cstdint>
#include <string>
#include <vector>

namespace fakes {

struct DecodedAudio {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
    double Seconds() const;
    bool ok = false;
    std::string error; // when not ok: the failing step and FFmpeg's reason
};

// Any file FFmpeg reads (WAV, raw MP3 frames, WMA in ASF...). Any error opening, demuxing or
// decoding (a WAV shorter than its header says, too) answers ok=false; a valid file without
// samples answers ok=true and no samples.
DecodedAudio DecodeAudioFile(const std::string& path);

// The length the container says, as ffprobe shows it; -1 when it says none or cannot be read.
double ContainerSeconds(const std::string& path);

} // namespace fakes
