#pragma once
// A single-producer single-consumer byte ring between the audio callback (producer) and the
// writer thread (consumer). Neither side locks or allocates once constructed; the producer
// never blocks, the consumer may sleep until something arrives.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <semaphore.h>
#include <vector>

namespace record {

class SampleRing {
public:
    // frameBytes: what is dropped when the ring is full is whole frames, so what follows a
    // drop still starts on a frame.
    explicit SampleRing(size_t capacity, size_t frameBytes = 1)
        : buffer_(capacity), frameBytes_(frameBytes ? frameBytes : 1)
    {
        sem_init(&arrived_, 0, 0);
    }
    ~SampleRing() { sem_destroy(&arrived_); }
    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    size_t Capacity() const { return buffer_.size(); }
    size_t Available() const { return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_relaxed); }

    // Producer side. Copies what fits; what does not is dropped and counted (the writer is
    // seconds behind, so the disk has stalled).
    void Write(const uint8_t* data, size_t length)
    {
        const size_t head = head_.load(std::memory_order_relaxed);
        const size_t used = head - tail_.load(std::memory_order_acquire);
        const size_t fits = std::min(length, (buffer_.size() - used) / frameBytes_ * frameBytes_);
        CopyIn(head, data, fits);
        head_.store(head + fits, std::memory_order_release);
        if (fits < length)
            dropped_.fetch_add(length - fits, std::memory_order_relaxed);
        Wake();
    }

    // Consumer side: sleeps until a Write or Wake since the last return, at most timeout.
    // One wake per block delivered instead of a timer polling the ring.
    void AwaitData(std::chrono::milliseconds timeout)
    {
        // A POSIX semaphore sleeps in the kernel at once; std::binary_semaphore spins and
        // yields first, a dozen system calls a wake for a wait that is always long.
        timespec until{};
        clock_gettime(CLOCK_MONOTONIC, &until);
        const long long ms = std::max<long long>(timeout.count(), 0);
        until.tv_sec += static_cast<time_t>(ms / 1000);
        until.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
        if (until.tv_nsec >= 1000000000L) {
            until.tv_sec += 1;
            until.tv_nsec -= 1000000000L;
        }
        int result;
        while ((result = sem_clockwait(&arrived_, CLOCK_MONOTONIC, &until)) != 0 && errno == EINTR) {
        }
        if (result == 0)
            signalled_.store(false, std::memory_order_release);
    }

    // Ends the consumer's wait now (also from any other thread: the stop).
    void Wake()
    {
        // The semaphore is posted only on the flag's rise, which only the consumer lowers
        // after taking it, so its count never passes one.
        if (!signalled_.exchange(true, std::memory_order_acq_rel))
            sem_post(&arrived_);
    }

    // Consumer side. Takes up to length bytes; answers how many.
    size_t Read(uint8_t* data, size_t length)
    {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t take = std::min(length, head_.load(std::memory_order_acquire) - tail);
        CopyOut(tail, data, take);
        tail_.store(tail + take, std::memory_order_release);
        return take;
    }

    size_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    void CopyIn(size_t position, const uint8_t* from, size_t length)
    {
        const size_t at = position % buffer_.size();
        const size_t first = std::min(length, buffer_.size() - at);
        std::memcpy(buffer_.data() + at, from, first);
        std::memcpy(buffer_.data(), from + first, length - first);
    }
    void CopyOut(size_t position, uint8_t* to, size_t length) const
    {
        const size_t at = position % buffer_.size();
        const size_t first = std::min(length, buffer_.size() - at);
        std::memcpy(to, buffer_.data() + at, first);
        std::memcpy(to + first, buffer_.data(), length - first);
    }

    std::vector<uint8_t> buffer_;
    size_t frameBytes_;
    std::atomic<size_t> head_{0}; // total bytes ever written (wraps with size_t, harmlessly)
    std::atomic<size_t> tail_{0}; // total bytes ever read
    std::atomic<size_t> dropped_{0};
    std::atomic<bool> signalled_{false};
    sem_t arrived_;
};

} // namespace record
