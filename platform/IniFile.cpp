#include "IniFile.h"

#include "PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

IniFile::IniFile(std::string path) : path_(std::move(path))
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path_, ec))
        return;
    // From here on the file exists: one that cannot be read reads as empty, but is kept from
    // being replaced by what was made of nothing.
    unreadable_ = true;
    // Plain reads, so that an I/O error is told from the end of the file.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    unreadable_ = false;
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

std::string IniFile::FileToReplace() const
{
    // A link stays a link: the file it points to is the one replaced, beside itself.
    std::error_code ec;
    if (!std::filesystem::is_symlink(path_, ec))
        return path_;
    const std::filesystem::path link(path_);
    std::filesystem::path target = std::filesystem::read_symlink(link, ec);
    if (ec)
        return path_;
    if (target.is_relative())
        target = link.parent_path() / target;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target.string() : resolved.string();
}

void IniFile::Commit() const
{
    const std::string failure = "Unable to write to " + path_;
    if (unreadable_)
        throw PlatformError(failure);
    const std::string file = FileToReplace();
    // The rename below would replace a file the user may not write to; such a file stays.
    if (::access(file.c_str(), F_OK) == 0 && ::access(file.c_str(), W_OK) != 0)
        throw PlatformError(failure);
    const std::string text = doc_.Serialize();
    std::string temp = file + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw PlatformError(failure);
    // The new file keeps the old one's permissions (a fresh one gets the usual rw-r--r--).
    struct stat old {};
    const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw PlatformError(failure);
    }
}

} // namespace platform
