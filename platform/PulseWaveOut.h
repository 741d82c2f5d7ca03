#pragma once
// Wave output through the sound server's client library (libpulse): one playback stream named
// "Kestrune" (role: music) at the buffers' own rate and channel count. Each written buffer goes
// into the stream at once, as far as the server has room, and comes back once the server has
// read its last byte for the sink (the stream's read index, asked for when that should have
// happened), so about a sink's latency before it is heard. Serves PulseAudio and PipeWire
// (through pipewire-pulse).
#include "PulseConnection.h"
#include "WaveOut.h"
#include "WaveQueue.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <pulse/pulseaudio.h>
#include <vector>

namespace platform {

class PulseWaveOut final : public WaveOut {
public:
    PulseWaveOut() = default;
    ~PulseWaveOut() override;
    PulseWaveOut(const PulseWaveOut&) = delete;
    PulseWaveOut& operator=(const PulseWaveOut&) = delete;

    // Connects (never starts a server) and opens the stream, silent until the first Write.
    // False with error when no server answers or it refuses the stream; all is released then.
    bool Open(const WaveFormat& format, WaveDoneNotice notice, std::string& error);
    void Write(WaveHeader* header) override;
    void Reset() override;
    void Close() override;
    bool Gone() const override { return gone_.load(); }

private:
    // Called on the loop's thread with the loop locked.
    // The server has room: more of the queued bytes go in.
    static void StreamWritable(pa_stream* stream, size_t length, void* self);
    // When a queued buffer should have been read: asks where the server's reading stands;
    // hands everything back when the server has gone.
    static void Tick(pa_mainloop_api* api, pa_time_event* event, const struct timeval* due, void* self);
    static void TimingUpdated(pa_stream* stream, int success, void* self);

    // With the loop locked.
    // Writes queued bytes not yet in the stream while the server has room for them.
    void Feed();
    // Hands back, oldest first, each buffer whose last byte the server has read; pads the
    // stream with silence when little of ours is left to read.
    void HandBackPlayed();
    // How long until the server should have read to the end of the first queued buffer that
    // ends a little while from now, or until padding is due: when to ask again.
    pa_usec_t UntilNextEnd() const;
    // The next check in wait microseconds.
    void CheckIn(pa_usec_t wait);
    // A buffer's length in whole frames: what goes into the stream.
    uint32_t Playable(const WaveHeader* header) const;

    PulseConnection connection_;
    pa_stream* stream_ = nullptr;
    pa_time_event* timer_ = nullptr;
    WaveDoneNotice notice_;
    uint32_t frameBytes_ = 4;
    std::vector<uint8_t> silence_; // what pads the stream, kept so that padding allocates nothing
    // All below with the loop locked. Stream offsets are bytes, counted as the server's read
    // and write indexes are.
    WaveQueue queue_;
    WaveHeader* unsent_ = nullptr; // the first queued buffer with bytes not yet in the stream
    uint32_t unsentTaken_ = 0;     // its bytes already in the stream
    int64_t written_ = 0;          // where the next byte goes in the stream
    std::deque<int64_t> ends_;     // the stream offset after each queued buffer wholly written
    bool updating_ = false;        // a timing update is on its way
    std::atomic<bool> gone_{false}; // the server went away; set on the loop's thread
};

} // namespace platform
