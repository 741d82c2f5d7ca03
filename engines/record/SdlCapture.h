#pragma once
// Capture from the default input device through SDL2, as 16-bit signed samples at the rate
// and channel count asked for (SDL converts when the device runs otherwise).
#include "SampleRing.h"

#include <SDL.h>
#include <string>

namespace record {

class SdlCapture {
public:
    SdlCapture() = default;
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Opens the device, not yet running; blocks go into ring. False with error when there
    // is no input device.
    bool Open(int rate, int channels, int blockFrames, SampleRing* ring, std::string& error);
    void Start();
    // Stops the callback for good (it has returned when this returns) and closes the device.
    void Close();

private:
    // Called on SDL's audio thread; must not block, lock or allocate.
    static void SDLCALL Callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID device_ = 0;
    SampleRing* ring_ = nullptr;
    bool audioInitialised_ = false;
};

} // namespace record
