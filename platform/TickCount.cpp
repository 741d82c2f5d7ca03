#include "TickCount.h"

#include <chrono>

namespace platform {
namespace {
std::function<uint32_t()>& Source()
{
    static std::function<uint32_t()> source;
    return source;
}
} // namespace

uint32_t GetTickCount()
{
    if (auto& source = Source())
        return source();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms); // keeps the low 32 bits: the wrap is intended
}

void SetTickSource(std::function<uint32_t()> source)
{
    Source() = std::move(source);
}

} // namespace platform
