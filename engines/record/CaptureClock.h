#pragma once
// The capture's own check against the monotonic clock: a device that delivers less than the
// time it ran allows has lost sound, whatever it says.
#include <cstdint>

namespace record {

// Nanoseconds of the monotonic clock.
int64_t MonotonicNs();

// Whole frames that elapsedNs nanoseconds hold at rate Hz (no overflow for any real length).
uint64_t FramesIn(int64_t elapsedNs, int rate);

// Frames missing when deliveredFrames arrived over elapsedNs nanoseconds at rate Hz. Sound
// clocks and the system clock drift apart by parts per million, and a device block may be in
// flight at either end, so a shortfall within max(0.5 %, 0.2 s, inFlightFrames) counts as
// none; beyond that, all of it counts. Pure arithmetic.
uint64_t ClockShortfallFrames(uint64_t deliveredFrames, int64_t elapsedNs, int rate, uint64_t inFlightFrames = 0);

// When capture started and how many frames the device delivered since. Started is called
// before the device runs; Delivered on the device's thread only (it neither blocks nor
// allocates); the rest while the device's thread is held or stopped.
class DeliveryClock {
public:
    void Started() { startNs_ = MonotonicNs(); }
    void Delivered(uint64_t frames) { frames_ += frames; }
    bool Running() const { return startNs_ >= 0; }
    uint64_t DeliveredFrames() const { return frames_; }
    // Frames the time from the start to untilNs holds.
    uint64_t DueFrames(int rate, int64_t untilNs) const;
    // Frames missing against the clock from the start to untilNs.
    uint64_t ShortfallAt(int rate, int64_t untilNs, uint64_t inFlightFrames = 0) const;

private:
    int64_t startNs_ = -1;
    uint64_t frames_ = 0;
};

} // namespace record
