#pragma once
// The buffers an output holds, oldest first, and their handing back. The list is linked
// through each header's Reserved field, so queueing and handing back never allocate (the audio
// callback does both). Not thread-safe: the output guards it with its own lock.
#include "WaveOut.h"

namespace platform {

class WaveQueue {
public:
    bool Empty() const { return front_ == nullptr; }
    WaveHeader* Front() const { return front_; }
    // The buffer queued after header, null for the last.
    static WaveHeader* After(const WaveHeader* header) { return reinterpret_cast<WaveHeader*>(header->Reserved); }

    // Marks the header queued and puts it behind the others.
    void Push(WaveHeader* header)
    {
        header->Flags = (header->Flags | WHDR_INQUEUE) & ~WHDR_DONE;
        header->Reserved = 0;
        if (back_)
            back_->Reserved = reinterpret_cast<uintptr_t>(header);
        else
            front_ = header;
        back_ = header;
    }

    // Takes the oldest buffer out, marks it done and calls notice with it.
    void HandBackFront(WaveOut* output, const WaveDoneNotice& notice)
    {
        WaveHeader* header = front_;
        front_ = After(header);
        if (!front_)
            back_ = nullptr;
        header->Reserved = 0;
        header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
        if (notice)
            notice(output, header);
    }

    // Hands back every buffer, oldest first, each by its own notice.
    void HandBackAll(WaveOut* output, const WaveDoneNotice& notice)
    {
        while (front_)
            HandBackFront(output, notice);
    }

private:
    WaveHeader* front_ = nullptr;
    WaveHeader* back_ = nullptr;
};

} // namespace platform
