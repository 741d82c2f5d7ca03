#pragma once
// File existence, deletion and folder creation.
#include <string>

namespace platform {

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

// Deletes the file; false when it could not be deleted (missing, a folder, no permission).
bool DeleteFile(const std::string& path);

// Creates the folder with every missing parent. An existing folder is fine. Throws
// PlatformError("Unable to create directory") for an empty path or one that cannot be made.
void ForceDirectories(const std::string& folder);

// The folder part of a path, without its trailing separator; empty for a bare file name.
std::string ExtractFileDir(const std::string& path);

} // namespace platform
