#pragma once
// Capture from the default input device through SDL2, as 16-bit signed samples at the rate
// and channel count asked for (SDL converts when the device runs otherwise). Used where no
// PulseAudio-compatible server answers, and with the tests' disk driver.
#include "CaptureClock.h"
#include "CaptureDevice.h"

#include <SDL.h>

namespace record {

class SdlCapture : public CaptureDevice {
public:
    SdlCapture() = default;
    ~SdlCapture() override;
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Opens the device, not yet running; blocks go into ring. False with error when there
    // is no input device.
    bool Open(int rate, int channels, int blockFrames, SampleRing* ring, std::string& error);
    void Start() override;
    // Stops the callback for good (it has returned when this returns) and closes the device.
    void Close() override;
    uint64_t LostFrames() const override { return lostFrames_; }

private:
    // Called on SDL's audio thread; must not block, lock or allocate.
    static void SDLCALL Callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID device_ = 0;
    SampleRing* ring_ = nullptr;
    bool audioInitialised_ = false;
    int rate_ = 0;
    int frameBytes_ = 2;
    // Only a real device runs on a sound clock; the file and dummy drivers keep their own pace.
    bool checkClock_ = false;
    DeliveryClock clock_;
    uint32_t deviceFrames_ = 0; // one device block: the first comes late, the last is cut off
    uint64_t lostFrames_ = 0;
};

} // namespace record
