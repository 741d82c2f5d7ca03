#pragma once
// Buffered output to one file that remembers its first failure, and keeps room on the disk
// for the file's closing writes.
//
// Room: ahead of what it writes the writer allocates disk space (without growing the file),
// always enough for a full buffer plus the tail reserve the format asks for (its closing
// frames, an index). When the disk cannot give more, Error() says why and the caller takes
// no more audio, but what it still writes (the buffer, the closing writes) lands in the room
// kept, so the file ends complete. On a file system that cannot allocate ahead, a full disk
// shows as a failed write instead; after a failed write nothing more is appended, and
// Written() says how many bytes really reached the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace record {

class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Creates (truncating) or opens an existing file for update; false with Error() set.
    bool Create(const std::string& path);
    bool OpenExisting(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // Cuts the file at offset and continues writing there (after a failed write: only cuts).
    bool TruncateAt(uint64_t offset);
    // Bytes kept allocated past the buffer for what the format writes when it closes.
    void SetTailReserve(uint64_t bytes) { tailReserve_ = bytes; }
    void Append(const void* data, size_t length);
    // Writes the buffer out; false once a write has failed.
    bool Flush();
    // Overwrites bytes at a fixed offset (header fields), after flushing. Header fields are
    // written even after a failure, to keep the file valid where the disk still lets them.
    bool WriteAt(uint64_t offset, const void* data, size_t length);
    // Flushes, gives back the room allocated past the end, and closes.
    void Close();

    uint64_t Position() const { return position_ + buffer_.size(); } // where the next byte goes
    uint64_t Written() const { return position_; }                   // bytes safely in the file
    // The errno of the first failure (no room left, or a failed write); 0 while all is well.
    int Error() const { return error_; }
    bool Failed() const { return error_ != 0; }
    // A write failed: nothing more reaches the file.
    bool Broken() const { return broken_; }

private:
    bool Opened(int fd);
    bool KeepRoom(uint64_t upTo);
    // Writes all of it at offset, through short writes; the bytes written (fewer after a failure).
    size_t WriteAll(uint64_t offset, const uint8_t* data, size_t length);
    void Fail(int error, bool broken);

    int fd_ = -1;
    uint64_t position_ = 0;
    uint64_t end_ = 0;          // the file's size as written by us
    uint64_t reservedEnd_ = 0;  // disk space is allocated up to here
    uint64_t tailReserve_ = 0;
    bool reserving_ = true;     // false where the file system cannot allocate ahead
    std::vector<uint8_t> buffer_;
    int error_ = 0;
    bool broken_ = false;
};

// For tests: every write and allocation that would reach past byte `atByte` of a file fails
// there with `error`, as on a disk that is full at that point; a write is cut short at the
// limit first. reserveUnsupported makes allocating ahead unavailable, as on file systems
// without it. Defaults: no limit.
struct WriteFault {
    uint64_t atByte = UINT64_MAX;
    int error = 0;
    bool reserveUnsupported = false;
};
void SetWriteFault(const WriteFault& fault);

} // namespace record
