#pragma once
// Plays bytes through a wave output as the program does: a ring of buffers written one behind
// the other, each refilled with the next block when it comes back, and checks that they come
// back in the order written. On the caller's thread; the output's notices go elsewhere (a
// ReturnedBuffers), and the caller hands each returned buffer to Returned.
#include "platform/WaveOut.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace fakes {

class BufferFeeder {
public:
    BufferFeeder(platform::WaveOut& output, const std::vector<uint8_t>& bytes, int buffers, uint32_t bufferBytes)
        : output_(output), bytes_(bytes), bufferBytes_(bufferBytes), headers_(buffers),
          data_(static_cast<size_t>(buffers) * bufferBytes)
    {
    }

    // Writes the first blocks, one to each buffer, as far as there are bytes.
    void Prime()
    {
        for (size_t i = 0; i < headers_.size() && next_ < bytes_.size(); ++i) {
            headers_[i].Data = data_.data() + i * bufferBytes_;
            WriteNextBlock(&headers_[i]);
        }
    }

    // A buffer came back: false when it is not the oldest one written (the output broke the
    // order). With refill, the next block goes into it while bytes remain.
    bool Returned(platform::WaveHeader* header, bool refill = true)
    {
        if (outstanding_.empty() || outstanding_.front() != header)
            return false;
        outstanding_.pop_front();
        output_.Unprepare(header);
        returnedBytes_ += header->BufferLength;
        if (refill && next_ < bytes_.size())
            WriteNextBlock(header);
        return true;
    }

    size_t Outstanding() const { return outstanding_.size(); }
    bool Finished() const { return outstanding_.empty() && next_ >= bytes_.size(); }
    uint64_t ReturnedBytes() const { return returnedBytes_; }
    uint64_t WrittenBytes() const { return next_; }

private:
    void WriteNextBlock(platform::WaveHeader* header)
    {
        const size_t count = std::min<size_t>(bufferBytes_, bytes_.size() - next_);
        std::memcpy(header->Data, bytes_.data() + next_, count);
        next_ += count;
        header->BufferLength = static_cast<uint32_t>(count);
        output_.Prepare(header);
        output_.Write(header);
        outstanding_.push_back(header);
    }

    platform::WaveOut& output_;
    const std::vector<uint8_t>& bytes_;
    const uint32_t bufferBytes_;
    std::vector<platform::WaveHeader> headers_;
    std::vector<uint8_t> data_;
    std::deque<platform::WaveHeader*> outstanding_;
    size_t next_ = 0;
    uint64_t returnedBytes_ = 0;
};

} // namespace fakes
