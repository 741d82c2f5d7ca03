#pragma once
// One output format's writer. The order is fixed: Prepare (check the request and, when
// continuing, read the existing file's own format, creating nothing), then Open (create or
// cut the file), Write as often as audio comes, Checkpoint at least once a second, Finish.
// All calls come from one thread at a time (the writer's, after Prepare and Open).
#include <cstddef>
#include <cstdint>
#include <string>

namespace record {

class AudioSink {
public:
    virtual ~AudioSink() = default;

    // False when the recording cannot be made; the reason goes to error.
    virtual bool Prepare(std::string& error) = 0;
    // The format the file will hold: the requested one, or a continued file's own.
    virtual int Rate() const = 0;
    virtual int Channels() const = 0;

    virtual bool Open(std::string& error) = 0;
    // Once the file cannot grow (a full disk, a failed write, a size the format cannot hold)
    // the sink takes no more audio and keeps what it wrote valid; Error() then says why.
    virtual void Write(const int16_t* interleaved, size_t frames) = 0;
    // Makes what was written so far a valid file on disk.
    virtual void Checkpoint() = 0;
    virtual void Finish() = 0;

    bool Failed() const { return error_ != 0; }
    // The errno of what stopped the file (ENOSPC, EIO, EFBIG, ...); 0 while it grows.
    int Error() const { return error_; }

protected:
    int error_ = 0;
};

} // namespace record
