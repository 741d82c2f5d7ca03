#pragma once
// The capture's own check against the monotonic clock: a device that silently delivers less
// than time allows has lost sound, whatever it says. Pure arithmetic, any thread.
#include <cstdint>

namespace record {

// Frames missing when deliveredFrames arrived over elapsedNs nanoseconds at rate Hz. Sound
// clocks and the system clock drift by far less than a per cent, and the first and last
// blocks are in flight at the ends, so a shortfall within max(1 %, 0.5 s) counts as none;
// beyond that, all of it counts.
uint64_t ClockShortfallFrames(uint64_t deliveredFrames, int64_t elapsedNs, int rate);

// Counts frames as they are delivered and knows when the first came. Written by the device's
// thread only; read after it has stopped.
class DeliveryClock {
public:
    // Called on the device's thread for every block; does not block or allocate.
    void Delivered(uint64_t frames);
    // Frames missing against the clock from the first delivery until now.
    uint64_t ShortfallUntilNow(int rate) const;

private:
    int64_t firstNs_ = -1;
    uint64_t frames_ = 0;
};

} // namespace record
