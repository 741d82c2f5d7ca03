#include "HandlerGuard.h"

#include "Application.h"

#include <exception>

namespace framework {

void Guarded(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& e) {
        Application().ShowException(e.what());
    } catch (...) {
        Application().ShowException("Unknown error");
    }
}

} // namespace framework
