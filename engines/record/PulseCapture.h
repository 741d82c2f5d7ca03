#pragma once
// Capture from the chosen source (the default when none is chosen or it is not there) through libpulse: an asynchronous record
// stream on a threaded main loop. Serves PulseAudio and PipeWire (through pipewire-pulse).
// When the server goes away during capture (an update restarts it, it crashes), a watcher
// thread connects again every half second; the time without sound counts as lost.
#include "CaptureClock.h"
#include "CaptureDevice.h"
#include "platform/PulseConnection.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pulse/pulseaudio.h>
#include <thread>

namespace record {

class PulseCapture : public CaptureDevice {
public:
    PulseCapture() = default;
    ~PulseCapture() override;
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    // Connects to the server (never starts one) and opens a corked record stream on source,
    // or on the server's default when source is empty or the server has no such source. False
    // with error when no server answers or the stream cannot be made; everything is released then.
    bool Open(int rate, int channels, const std::string& source, SampleRing* ring, std::string& error);
    void Start() override;
    void Close() override;
    uint64_t LostFrames() const override { return lostFrames_; }
    bool InputMissing() const override { return inputMissing_.load(); }

private:
    // With the main loop locked: the source to connect to, "" for the default; notes whether
    // the chosen one is missing.
    std::string SourceToUse();
    // With the main loop locked: makes the record stream, corked or running.
    bool ConnectStream(bool corked, std::string& error);
    // Called on the main loop's thread.
    // Copies what the server has into the ring and returns; must not block.
    static void StreamRead(pa_stream* stream, size_t length, void* self);
    // Notes a stream that failed (the server went away); must not block.
    static void StreamState(pa_stream* stream, void* self);
    // The watcher thread: on a failed stream, connects again every half second until the
    // input is back or Close.
    void Watch();
    // On the watcher: releases the failed stream and connection; true once capture runs again.
    void DropConnection();
    // With the main loop locked: no callback of the stream runs after this.
    void ReleaseStream();
    bool Reconnect();
    // With the main loop locked: waits until the sound of the time up to stopNs has arrived.
    void AwaitTheLastSound(int64_t stopNs);

    platform::PulseConnection connection_;
    pa_stream* stream_ = nullptr;
    SampleRing* ring_ = nullptr;
    int rate_ = 0;
    size_t frameBytes_ = 0;
    DeliveryClock clock_;
    uint64_t holeFrames_ = 0; // gaps in the server's read index, on the loop's thread
    // Frames to keep in all: none past the stop's moment (set with the main loop locked).
    uint64_t keepUpTo_ = UINT64_MAX;
    uint64_t lostFrames_ = 0;
    int channels_ = 0;
    std::string source_; // the source asked for; "" the default
    // source_ was not there at a connect, so the default records; set on the opener's or the watcher's thread
    std::atomic<bool> inputMissing_{false};

    std::thread watcher_;
    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool closing_ = false;           // under watchMutex_
    std::atomic<bool> failed_{false}; // the stream failed; set on the loop's thread
    int64_t lostSinceNs_ = -1;        // when the input went away; the watcher's
};

} // namespace record
