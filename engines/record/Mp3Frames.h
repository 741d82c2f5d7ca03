#pragma once
// MPEG audio layer III frame headers, for continuing an MP3 file at a frame boundary.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace record {

struct Mp3Frame {
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0; // 1152 (MPEG-1) or 576 (MPEG-2 and 2.5)
    size_t length = 0;       // bytes, header included
};

// The layer III frame whose header starts at p, if it is one (free-format frames are not).
std::optional<Mp3Frame> ParseMp3Frame(const uint8_t* p, size_t available);

// Bytes of the ID3v2 tag at the front (header, body and footer), 0 when there is none.
size_t Id3v2Size(const uint8_t* data, size_t size);

struct Mp3Cut {
    size_t offset = 0;               // where new frames go: everything from here is cut off
    std::optional<Mp3Frame> format;  // the file's first audio frame, when it has one
};

// The frame boundary at or before startMs (after the ID3v2 tag; a leading Xing/Info frame
// holds no audio and is kept without counting). Past the last whole frame it is the end of
// that frame, so trailing junk or tags are cut off.
Mp3Cut FindMp3Cut(const std::vector<uint8_t>& file, int64_t startMs);

} // namespace record
