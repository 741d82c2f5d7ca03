#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C in a terminal) as a call on the
// thread that runs the Qt event loop, so the program can end in order instead of dying
// midway through a file.
#include <functional>

namespace platform {

// From now on each of the three signals calls onSignal(signal number) on the calling thread,
// from its event loop. Call once, on the window thread, after QCoreApplication exists.
void WatchQuitSignals(std::function<void(int)> onSignal);

} // namespace platform
