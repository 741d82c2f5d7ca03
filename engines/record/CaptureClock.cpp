#include "CaptureClock.h"

#include <algorithm>
#include <chrono>

namespace record {

int64_t MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint64_t FramesIn(int64_t elapsedNs, int rate)
{
    if (elapsedNs <= 0 || rate <= 0)
        return 0;
    // Seconds and the rest apart, so hours at 192 kHz stay far inside 64 bits.
    const uint64_t seconds = static_cast<uint64_t>(elapsedNs / 1'000'000'000);
    const uint64_t restNs = static_cast<uint64_t>(elapsedNs % 1'000'000'000);
    return seconds * static_cast<uint64_t>(rate) + restNs * static_cast<uint64_t>(rate) / 1'000'000'000;
}

uint64_t ClockShortfallFrames(uint64_t deliveredFrames, int64_t elapsedNs, int rate, uint64_t inFlightFrames)
{
    const uint64_t expected = FramesIn(elapsedNs, rate);
    if (deliveredFrames >= expected)
        return 0;
    const uint64_t missing = expected - deliveredFrames;
    const uint64_t tolerance = std::max({expected / 200, static_cast<uint64_t>(rate) / 5, inFlightFrames});
    return missing > tolerance ? missing : 0;
}

uint64_t DeliveryClock::DueFrames(int rate, int64_t untilNs) const
{
    return Running() ? FramesIn(untilNs - startNs_, rate) : 0;
}

uint64_t DeliveryClock::ShortfallAt(int rate, int64_t untilNs, uint64_t inFlightFrames) const
{
    return Running() ? ClockShortfallFrames(frames_, untilNs - startNs_, rate, inFlightFrames) : 0;
}

} // namespace record
