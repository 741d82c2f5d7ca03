#pragma once
// Buffered output to one file descriptor that remembers its first failure: after a failed
// write nothing more is written, and Written() says how many bytes really reached the file.
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

    // Creates (truncating) or opens an existing file for update.
    bool Create(const std::string& path);
    bool OpenExisting(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // Cuts the file at offset and continues writing there.
    bool TruncateAt(uint64_t offset);
    void Append(const void* data, size_t length);
    // Writes the buffer out; false once anything has failed.
    bool Flush();
    // Overwrites bytes at a fixed offset (header fields), after flushing.
    bool WriteAt(uint64_t offset, const void* data, size_t length);
    void Close();

    uint64_t Position() const { return position_ + buffer_.size(); } // where the next byte goes
    uint64_t Written() const { return position_; }                   // bytes safely in the file
    bool Failed() const { return failed_; }

private:
    int fd_ = -1;
    uint64_t position_ = 0;
    std::vector<uint8_t> buffer_;
    bool failed_ = false;
};

} // namespace record
