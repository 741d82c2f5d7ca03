#pragma once
// The system's millisecond tick count: unsigned 32-bit, wrapping about every 49.7 days.
// Every elapsed-time computation of the program subtracts two of these in uint32_t, so a
// wrap does no harm. Tests replace the source to step time by hand.
#include <cstdint>
#include <functional>

namespace platform {

// Milliseconds since an arbitrary start, wrapping. Called on the window thread.
uint32_t GetTickCount();

// Replaces the source of GetTickCount (tests only); an empty function restores the real clock.
void SetTickSource(std::function<uint32_t()> source);

} // namespace platform
