#pragma once
// A private-profile file on disk: read once when constructed, values read and written with
// the integer, boolean and string rules of the settings file, and written back as a whole
// (atomically) by Commit.
#include "IniDocument.h"

#include <cstdint>
#include <string>

namespace platform {

class IniFile {
public:
    // Reads the file now. A missing or unreadable file reads as empty; it is not created.
    explicit IniFile(std::string path);

    const std::string& Path() const { return path_; }

    // Strings read up to 2047 bytes (never cutting a UTF-8 character); a missing key gives
    // the default.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    // ParseIniInteger's rule; a missing key or a value that is not an integer gives the default.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    // The integer rule, true when not zero.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the whole text to a temporary file in the same folder and renames it over the
    // file, so the file on disk is either the old one or the new one; through a symbolic
    // link, the link's target is replaced and the link stays. Throws
    // PlatformError("Unable to write to <path>") when that cannot be done, and also, leaving
    // the file as it is, when it existed but could not be read or may not be written.
    void Commit() const;

    static constexpr size_t MaxStringLength = 2047;

private:
    // The file a commit replaces: the path, or the file a link at the path points to.
    std::string FileToReplace() const;

    std::string path_;
    IniDocument doc_;
    bool unreadable_ = false;
};

} // namespace platform
