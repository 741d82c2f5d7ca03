#include "Files.h"

#include "Paths.h"
#include "PlatformError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace fs = std::filesystem;

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool DeleteFile(const std::string& path)
{
    std::error_code ec;
    if (path.empty() || fs::is_directory(path, ec))
        return false;
    return fs::remove(path, ec) && !ec;
}

bool CanWriteIn(const std::string& folder)
{
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string WhyNotWritable(const std::string& path)
{
    const bool existed = access(path.c_str(), F_OK) == 0;
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | (existed ? 0 : O_CREAT | O_EXCL), 0644);
    if (fd < 0)
        return std::strerror(errno);
    close(fd);
    if (!existed)
        unlink(path.c_str());
    return {};
}

void ForceDirectories(const std::string& folder)
{
    std::error_code ec;
    if (folder.empty())
        throw PlatformError("Unable to create directory");
    if (fs::is_directory(folder, ec))
        return;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        throw PlatformError("Unable to create directory");
}

std::string MoveAside(const std::string& path)
{
    std::error_code ec;
    if (!FileExists(path))
        return {};
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = path + ".overwritten" + (n == 0 ? std::string() : std::to_string(n));
        if (fs::exists(aside, ec))
            continue;
        return RenameFile(path, aside) ? aside : std::string();
    }
    return {};
}

bool RenameFile(const std::string& from, const std::string& to)
{
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

namespace {
// Where the file name's extension begins (its last dot); npos when the name has no dot.
size_t ExtensionStart(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto separator = path.rfind(PathSeparator);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::string::npos;
    return dot;
}
} // namespace

std::string UpperFileExtension(const std::string& path)
{
    const auto dot = ExtensionStart(path);
    if (dot == std::string::npos)
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

std::string ChangeFileExt(const std::string& path, const std::string& extension)
{
    return path.substr(0, ExtensionStart(path)) + extension;
}

std::string ExtractFileDir(const std::string& path)
{
    const auto cut = path.rfind(PathSeparator);
    if (cut == std::string::npos)
        return {};
    if (cut == 0)
        return std::string(1, PathSeparator); // the root keeps its separator
    return path.substr(0, cut);
}

} // namespace platform
