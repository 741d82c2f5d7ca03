#include "StartCheck.h"

#include <filesystem>
#include <unistd.h>

namespace record {

bool CheckStart(const StartRecordParams& params, const std::string& path, bool append, std::string& error)
{
    namespace fs = std::filesystem;
    if (params.Format < 0 || params.Format > 2)
        error = "unknown format";
    else if (params.SampleRate < 8000 || params.SampleRate > 192000)
        error = "sample rate out of range";
    else if (params.Channels != 1 && params.Channels != 2)
        error = "channels must be 1 or 2";
    else if (params.Format != 0 && params.Bitrate <= 0)
        error = "no bitrate";
    else if (append && params.Format == 2)
        error = "WMA files cannot be continued";
    else if (path.empty())
        error = "no file name";
    if (!error.empty())
        return false;

    std::error_code ec;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec) || ::access(folder.c_str(), W_OK) != 0)
        error = "cannot write into the folder of " + path;
    else if (fs::is_directory(target, ec))
        error = path + " is a folder";
    else if (append && (!fs::is_regular_file(target, ec) || ::access(path.c_str(), R_OK | W_OK) != 0))
        error = "cannot continue " + path;
    return error.empty();
}

} // namespace record
