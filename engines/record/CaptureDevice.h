#pragma once
// Where captured sound comes from: the sound server's own client library when a
// PulseAudio-compatible server answers (PulseAudio, or PipeWire with its PulseAudio
// service), SDL2 otherwise. Either fills the ring with interleaved 16-bit frames from the
// input and counts what it could not deliver.
#include "SampleRing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace record {

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    // Capture runs from here on; blocks arrive in the ring on the device's own thread.
    virtual void Start() = 0;
    // Stops capture for good: no block arrives after this returns.
    virtual void Close() = 0;
    // Frames of sound the device or the server dropped before they reached the ring; final
    // once Close has returned.
    virtual uint64_t LostFrames() const = 0;
    // The input asked for was not there, so the default input records instead.
    virtual bool InputMissing() const { return false; }

    // Told when the input goes away during capture (false) and when it is back (true), on a
    // thread of the device's; set before Start. A device that cannot lose its input never calls it.
    std::function<void(bool present)> InputReport;
};

// Opens an input at rate and channels (S16), not yet running: the server's source called
// input, or its default when input is empty or not there. blockFrames is the writer's block,
// a hint for the device's own. With SDL_AUDIODRIVER set, SDL and that driver are used (the
// tests' disk driver feeds a known signal that way); otherwise the sound server, then SDL,
// whose default device records whatever input says. Null with error when there is no input at all.
std::unique_ptr<CaptureDevice> OpenCaptureDevice(int rate, int channels, int blockFrames, const std::string& input,
    SampleRing* ring, std::string& error);

} // namespace record
