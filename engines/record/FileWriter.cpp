#include "FileWriter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {
constexpr size_t BufferBytes = 16 * 1024;
// Room is allocated in steps of this much, so that a recording asks the disk rarely.
constexpr uint64_t RoomStep = 4 * 1024 * 1024;

std::mutex faultMutex;
WriteFault fault;

WriteFault CurrentFault()
{
    std::lock_guard lock(faultMutex);
    return fault;
}

// pwrite, cut short at the test limit.
ssize_t WriteOut(int fd, const uint8_t* data, size_t length, uint64_t offset)
{
    const WriteFault limit = CurrentFault();
    if (offset + length > limit.atByte) {
        if (offset >= limit.atByte) {
            errno = limit.error;
            return -1;
        }
        length = static_cast<size_t>(limit.atByte - offset);
    }
    return ::pwrite(fd, data, length, static_cast<off_t>(offset));
}

// 0 or the errno of allocating [offset, end) without changing the file's size.
int Allocate(int fd, uint64_t offset, uint64_t end)
{
    const WriteFault limit = CurrentFault();
    if (limit.reserveUnsupported)
        return EOPNOTSUPP;
    if (end > limit.atByte)
        return limit.error;
    return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset), static_cast<off_t>(end - offset)) == 0
        ? 0 : errno;
}
} // namespace

void SetWriteFault(const WriteFault& newFault)
{
    std::lock_guard lock(faultMutex);
    fault = newFault;
}

FileWriter::~FileWriter()
{
    Close();
}

bool FileWriter::Opened(int fd)
{
    fd_ = fd;
    if (fd_ < 0) {
        Fail(errno, true);
        return false;
    }
    struct stat info {};
    end_ = ::fstat(fd_, &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    reservedEnd_ = end_;
    buffer_.reserve(BufferBytes);
    return true;
}

bool FileWriter::Create(const std::string& path)
{
    position_ = 0;
    return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

bool FileWriter::OpenExisting(const std::string& path)
{
    return Opened(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
}

void FileWriter::Fail(int error, bool broken)
{
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    broken_ = broken_ || broken;
}

bool FileWriter::TruncateAt(uint64_t offset)
{
    // After a failed write the buffer is dropped: the cut is what repairs the file then.
    if (!broken_ && !Flush())
        return false;
    buffer_.clear();
    if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(offset)) != 0) {
        Fail(errno, true);
        return false;
    }
    position_ = end_ = reservedEnd_ = offset;
    return true;
}

bool FileWriter::KeepRoom(uint64_t upTo)
{
    if (!reserving_ || upTo <= reservedEnd_)
        return true;
    // A step ahead when the disk has it, else just what is needed.
    int error = Allocate(fd_, reservedEnd_, upTo + RoomStep);
    if (error == 0) {
        reservedEnd_ = upTo + RoomStep;
        return true;
    }
    if (error == EOPNOTSUPP || error == ENOSYS || error == EINVAL) {
        reserving_ = false;
        return true;
    }
    error = Allocate(fd_, reservedEnd_, upTo);
    if (error == 0) {
        reservedEnd_ = upTo;
        return true;
    }
    Fail(error, false);
    return false;
}

void FileWriter::Append(const void* data, size_t length)
{
    if (broken_ || fd_ < 0)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + length > BufferBytes && !Flush())
        return;
    buffer_.insert(buffer_.end(), bytes, bytes + length);
}

bool FileWriter::Flush()
{
    if (broken_ || fd_ < 0)
        return false;
    // The room is kept for the buffer after this one too: when the disk has no more, this
    // buffer and the closing writes still fit into what was kept before.
    KeepRoom(position_ + buffer_.size() + BufferBytes + tailReserve_);
    position_ += WriteAll(position_, buffer_.data(), buffer_.size());
    end_ = std::max(end_, position_);
    buffer_.clear();
    return !broken_;
}

bool FileWriter::WriteAt(uint64_t offset, const void* data, size_t length)
{
    Flush();
    if (fd_ < 0)
        return false;
    const size_t done = WriteAll(offset, static_cast<const uint8_t*>(data), length);
    end_ = std::max(end_, offset + done);
    return done == length;
}

size_t FileWriter::WriteAll(uint64_t offset, const uint8_t* data, size_t length)
{
    size_t done = 0;
    while (done < length) {
        const ssize_t n = WriteOut(fd_, data + done, length - done, offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(n < 0 ? errno : ENOSPC, true);
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done;
}

void FileWriter::Close()
{
    if (fd_ < 0)
        return;
    Flush();
    // Allocated room past the end is given back; cutting at the size it has frees it.
    if (reservedEnd_ > end_)
        (void)::ftruncate(fd_, static_cast<off_t>(end_));
    ::close(fd_);
    fd_ = -1;
}

} // namespace record
