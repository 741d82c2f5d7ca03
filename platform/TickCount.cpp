#include "TickCount.h"

#include "Replaceable.h"

#include <chrono>

namespace platform {
namespace {
uint32_t MonotonicMilliseconds()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms); // keeps the low 32 bits: the wrap is intended
}

Replaceable<uint32_t>& Source()
{
    static Replaceable<uint32_t> source(&MonotonicMilliseconds);
    return source;
}
} // namespace

uint32_t GetTickCount() { return Source()(); }

void SetTickSource(std::function<uint32_t()> source) { Source().Replace(std::move(source)); }

} // namespace platform
