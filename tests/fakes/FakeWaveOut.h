#pragma once
// Stands in for the wave output while alive: every open, write, reset and close is kept, and
// written buffers come back only when the test says so (or all at once at a reset or close,
// as the real outputs do). The real outputs come back when it goes.
//
// Threads: everything runs on the test's (window) thread; notices are called from ReturnNext,
// Reset and Close.
#include "platform/WaveOut.h"
#include "platform/WaveQueue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fakes {

class FakeWaveOut {
public:
    struct Write {
        platform::WaveHeader* header; // the caller's, as written
        std::vector<uint8_t> bytes;   // a copy of what it held then
    };

    FakeWaveOut();
    ~FakeWaveOut();
    FakeWaveOut(const FakeWaveOut&) = delete;
    FakeWaveOut& operator=(const FakeWaveOut&) = delete;

    bool openFails = false;
    bool gone = false; // what the open output's Gone answers
    std::vector<platform::WaveFormat> opens;
    std::vector<std::string> calls;     // "open", "write", "reset", "close" in order
    std::vector<Write> writes;          // every write, in order
    std::vector<uint32_t> writeLengths; // bytes of each write
    std::vector<uint8_t> written;       // every written byte, in order

    // Hands back the oldest queued buffer of the open output (its notice, as the device's
    // thread would); false when none is queued.
    bool ReturnNext();
    // Hands back buffers until none is queued, the window's refills included; how many came back.
    int ReturnAll();
    size_t Queued() const { return queued_; }

private:
    class Output;
    friend class Output;
    // Hands back every queued buffer, oldest first.
    void ReturnQueued();
    platform::WaveQueue queue_; // of the open output; the fake's when it has gone
    size_t queued_ = 0;
    platform::WaveDoneNotice notice_;
    platform::WaveOut* current_ = nullptr; // the open output, null once it is closed
};

} // namespace fakes
