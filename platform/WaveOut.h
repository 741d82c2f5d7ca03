#pragma once
// The wave output: 16-bit PCM buffers queued on the default output device and handed back one
// by one, in order, once played. Over the sound server's own client library (libpulse) when a
// PulseAudio-compatible server answers, SDL2 otherwise; tests put a fake in with
// SetWaveOutOpener.
//
// Threads: every call comes from the window thread. The done notice is called on the output's
// own thread (or, during Reset and Close, on the caller's), one call at a time, and must
// neither block, nor touch the window, nor call the output: the program posts MM_WOM_DONE
// from it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// The format of what is written: PCM only.
struct WaveFormat {
    uint16_t FormatTag = 1; // PCM
    uint16_t Channels = 2;
    uint32_t SamplesPerSec = 44100;
    uint32_t AvgBytesPerSec = 44100 * 4; // Channels * SamplesPerSec * 2
    uint16_t BlockAlign = 4;             // Channels * 2
    uint16_t BitsPerSample = 16;
    uint16_t ExtraSize = 0;
};

// One buffer's header: the caller owns it and its data and keeps both alive from Write until
// the output hands the header back.
struct WaveHeader {
    uint8_t* Data = nullptr;
    uint32_t BufferLength = 0; // bytes of Data to play, whole frames
    uint32_t Flags = 0;        // WHDR_PREPARED, WHDR_INQUEUE, WHDR_DONE below
    uintptr_t User = 0;        // the caller's
    uint64_t Reserved = 0;     // the output's while the buffer is queued
};
static_assert(sizeof(WaveHeader) == 32, "a header is 32 bytes");

constexpr uint32_t WHDR_DONE = 0x1;
constexpr uint32_t WHDR_PREPARED = 0x2;
constexpr uint32_t WHDR_INQUEUE = 0x10;

class WaveOut;
// A buffer has been played (or handed back by Reset): the output and its header.
using WaveDoneNotice = std::function<void(WaveOut* output, WaveHeader* header)>;

class WaveOut {
public:
    virtual ~WaveOut() = default;
    // Marks the header prepared; Unprepare clears that. Nothing else is needed of either.
    virtual void Prepare(WaveHeader* header) { header->Flags = (header->Flags | WHDR_PREPARED) & ~WHDR_DONE; }
    virtual void Unprepare(WaveHeader* header) { header->Flags &= ~WHDR_PREPARED; }
    // Queues the buffer behind those already queued; playing starts with the first.
    virtual void Write(WaveHeader* header) = 0;
    // Stops at once (silence within a few milliseconds) and hands back every queued buffer,
    // each by its own notice, in order, before it returns.
    virtual void Reset() = 0;
    // Stops and releases the device; a buffer still queued is handed back first, as by Reset.
    // No notice comes after Close has returned, so a buffer can never come back to a playback
    // that has ended or begun anew. Closing twice is harmless; the destructor closes.
    virtual void Close() = 0;
    // The device can play nothing more (its sound server went away): every buffer written
    // comes back unplayed. Any thread.
    virtual bool Gone() const { return false; }
};

// Opens the default output for format; null with error when there is none.
std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format, WaveDoneNotice notice, std::string& error);

// What OpenWaveOut uses from now on; an empty opener restores the real outputs. Tests only.
using WaveOutOpener = std::function<std::unique_ptr<WaveOut>(const WaveFormat&, WaveDoneNotice, std::string&)>;
void SetWaveOutOpener(WaveOutOpener opener);

} // namespace platform
