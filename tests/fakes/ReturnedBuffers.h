#pragma once
// Collects the buffers a wave output hands back, from whichever thread its notice runs on,
// for a plain loop to wait for: what the window's message queue is to the program.
#include "platform/WaveOut.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace fakes {

class ReturnedBuffers {
public:
    // The notice to open the output with; this object must outlive the output.
    platform::WaveDoneNotice Notice()
    {
        return [this](platform::WaveOut*, platform::WaveHeader* header) {
            std::lock_guard lock(mutex_);
            waiting_.push_back(header);
            ++count_;
            arrived_.notify_all();
        };
    }

    // The oldest returned buffer not yet taken, waiting up to timeout; null when none came.
    platform::WaveHeader* Next(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, timeout, [this] { return !waiting_.empty(); }))
            return nullptr;
        platform::WaveHeader* header = waiting_.front();
        waiting_.pop_front();
        return header;
    }

    // How many buffers have come back in all.
    size_t Count() const
    {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<platform::WaveHeader*> waiting_;
    size_t count_ = 0;
};

} // namespace fakes
