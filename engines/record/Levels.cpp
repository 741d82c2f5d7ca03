#include "Levels.h"

#include <algorithm>
#include <cstdlib>

namespace record {

BlockLevels PeakLevels(const int16_t* interleaved, size_t frames, int channels)
{
    BlockLevels levels;
    if (channels == 1) {
        for (size_t i = 0; i < frames; ++i)
            levels.left = std::max<uint32_t>(levels.left, static_cast<uint32_t>(std::abs(int32_t{interleaved[i]})));
        levels.right = levels.left;
        return levels;
    }
    for (size_t i = 0; i < frames; ++i) {
        levels.left = std::max<uint32_t>(levels.left, static_cast<uint32_t>(std::abs(int32_t{interleaved[2 * i]})));
        levels.right = std::max<uint32_t>(levels.right, static_cast<uint32_t>(std::abs(int32_t{interleaved[2 * i + 1]})));
    }
    return levels;
}

} // namespace record
