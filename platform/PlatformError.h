#pragma once
// The one exception type of the platform and framework layers. It carries the user-facing
// message ("Unable to create directory", "Unable to write to %s", ...) and ends the current
// handler; the framework's handler guard shows it in the standard error box.
#include <stdexcept>
#include <string>

namespace platform {

class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace platform
