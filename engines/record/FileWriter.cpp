#include "FileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace record {
namespace {
constexpr size_t BufferBytes = 64 * 1024;
}

FileWriter::~FileWriter()
{
    Close();
}

bool FileWriter::Create(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    position_ = 0;
    buffer_.reserve(BufferBytes);
    return fd_ >= 0;
}

bool FileWriter::OpenExisting(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    buffer_.reserve(BufferBytes);
    return fd_ >= 0;
}

bool FileWriter::TruncateAt(uint64_t offset)
{
    if (!Flush() || ::ftruncate(fd_, static_cast<off_t>(offset)) != 0
        || ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        failed_ = true;
        return false;
    }
    position_ = offset;
    return true;
}

void FileWriter::Append(const void* data, size_t length)
{
    if (failed_)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + length > BufferBytes && !Flush())
        return;
    buffer_.insert(buffer_.end(), bytes, bytes + length);
}

bool FileWriter::Flush()
{
    if (failed_ || fd_ < 0)
        return false;
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        done += static_cast<size_t>(n);
        position_ += static_cast<uint64_t>(n);
    }
    buffer_.clear();
    return !failed_;
}

bool FileWriter::WriteAt(uint64_t offset, const void* data, size_t length)
{
    Flush(); // header fields are written even after a failure, to keep the file valid
    if (fd_ < 0)
        return false;
    return ::pwrite(fd_, data, length, static_cast<off_t>(offset)) == static_cast<ssize_t>(length);
}

void FileWriter::Close()
{
    if (fd_ < 0)
        return;
    Flush();
    ::close(fd_);
    fd_ = -1;
}

} // namespace record
