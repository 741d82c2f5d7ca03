#include "CaptureClock.h"

#include <algorithm>
#include <chrono>

namespace record {
namespace {
int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

uint64_t ClockShortfallFrames(uint64_t deliveredFrames, int64_t elapsedNs, int rate)
{
    if (elapsedNs <= 0 || rate <= 0)
        return 0;
    // Whole frames that the elapsed time holds (a 128-bit-safe split: seconds, then the rest).
    const uint64_t seconds = static_cast<uint64_t>(elapsedNs / 1'000'000'000);
    const uint64_t restNs = static_cast<uint64_t>(elapsedNs % 1'000'000'000);
    const uint64_t expected = seconds * static_cast<uint64_t>(rate) + restNs * static_cast<uint64_t>(rate) / 1'000'000'000;
    if (deliveredFrames >= expected)
        return 0;
    const uint64_t missing = expected - deliveredFrames;
    const uint64_t tolerance = std::max<uint64_t>(expected / 100, static_cast<uint64_t>(rate) / 2);
    return missing > tolerance ? missing : 0;
}

void DeliveryClock::Delivered(uint64_t frames)
{
    if (firstNs_ < 0)
        firstNs_ = NowNs();
    frames_ += frames;
}

uint64_t DeliveryClock::ShortfallUntilNow(int rate) const
{
    if (firstNs_ < 0)
        return 0;
    // The first block's frames were captured before it arrived: the clock starts after them.
    return ClockShortfallFrames(frames_, NowNs() - firstNs_, rate);
}

} // namespace record
