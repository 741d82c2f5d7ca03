#pragma once
// The level of one captured block: the peak magnitude of each channel.
#include <cstddef>
#include <cstdint>

namespace record {

struct BlockLevels {
    uint32_t left = 0;  // 0 to 32768
    uint32_t right = 0; // the left value again for a mono block
};

BlockLevels PeakLevels(const int16_t* interleaved, size_t frames, int channels);

} // namespace record
