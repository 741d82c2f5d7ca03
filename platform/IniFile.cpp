#include "IniFile.h"

#include "PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

IniFile::IniFile(std::string path) : path_(std::move(path))
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec))
        return;
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return;
    std::string text;
    try {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return; // a read error: as if there were no file
    }
    if (in.bad())
        return;
    doc_ = IniDocument::Parse(text);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& def) const
{
    auto value = doc_.Value(section, key);
    if (!value)
        return def;
    if (value->size() > MaxStringLength) {
        size_t cut = MaxStringLength;
        // Back up over UTF-8 continuation bytes so the cut lands between characters.
        while (cut > 0 && (static_cast<unsigned char>((*value)[cut]) & 0xC0) == 0x80)
            --cut;
        value->resize(cut);
    }
    return *value;
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const
{
    const auto value = doc_.Value(section, key);
    if (!value)
        return def;
    return ParseIniInteger(*value).value_or(def);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    doc_.SetValue(section, key, value);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value)
{
    doc_.SetValue(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    doc_.SetValue(section, key, value ? "1" : "0");
}

namespace {
// Writes all of text to fd; false on any short or failed write.
bool WriteAll(int fd, const std::string& text)
{
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}
} // namespace

void IniFile::Commit() const
{
    const std::string text = doc_.Serialize();
    std::string temp = path_ + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw PlatformError("Unable to write to " + path_);
    // The new file keeps the old one's permissions (a fresh one gets the usual rw-r--r--).
    struct stat old {};
    const mode_t mode = ::stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw PlatformError("Unable to write to " + path_);
    }
}

} // namespace platform
