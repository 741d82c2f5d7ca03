#pragma once
// File existence, deletion and folder creation.
#include <string>

namespace platform {

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

// Deletes the file; false when it could not be deleted (missing, a folder, no permission).
bool DeleteFile(const std::string& path);

// True when this process may create files in the folder.
bool CanWriteIn(const std::string& folder);

// Whether the file can be written: an existing one opened for writing (nothing changes), a
// missing one created and removed again. "" when it can, else the system's reason.
std::string WhyNotWritable(const std::string& path);

// Creates the folder with every missing parent. An existing folder is fine. Throws
// PlatformError("Unable to create directory") for an empty path or one that cannot be made.
void ForceDirectories(const std::string& folder);

// Renames the file to a free name beside it (same folder, the name with ".overwritten" and a
// number if needed) and answers that name; empty when it could not be moved.
std::string MoveAside(const std::string& path);

// Renames from to to, replacing to; false when it could not.
bool RenameFile(const std::string& from, const std::string& to);

// The extension from the file name's last dot on, upper-cased (".WAV"); empty when the file
// name has no dot.
std::string UpperFileExtension(const std::string& path);

// The path with its extension (from the file name's last dot on) replaced by `extension`,
// which is appended when the file name has no dot.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

// The folder part of a path, without its trailing separator; empty for a bare file name.
std::string ExtractFileDir(const std::string& path);

} // namespace platform
