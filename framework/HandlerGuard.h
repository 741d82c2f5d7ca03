#pragma once
// Every entry from Qt into the program's code (event, timer, menu action, posted message)
// runs through Guarded: an exception that escapes the handler is shown in the application's
// standard error box and the message loop goes on. No exception ever reaches Qt.
#include <functional>

namespace framework {

void Guarded(const std::function<void()>& handler) noexcept;

} // namespace framework
