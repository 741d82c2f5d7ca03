#pragma once
// Conversions between milliseconds, sample frames and pixels round to the nearest whole
// number, halves to even.
#include <cstdint>

namespace platform {

// n / d rounded to the nearest integer, halves to even; d > 0. Whole numbers throughout, so an
// exact half (3748.5 frames) is never taken for a little more or less.
inline uint64_t RoundHalfEven(uint64_t n, uint64_t d)
{
    const uint64_t q = n / d;
    const uint64_t r = n % d;
    const uint64_t rest = d - r; // r compared with d / 2 without overflowing r * 2
    return q + ((r > rest || (r == rest && (q & 1))) ? 1 : 0);
}

} // namespace platform
