#pragma once
// Wave output through SDL2, where no PulseAudio-compatible server answers (and with SDL's disk
// driver in tests): SDL pulls the queued buffers' bytes from its audio thread, converting to
// the device's format, and each buffer goes back once its last byte is taken.
#include "WaveOut.h"
#include "WaveQueue.h"

#include <SDL.h>

namespace platform {

class SdlWaveOut final : public WaveOut {
public:
    SdlWaveOut() = default;
    ~SdlWaveOut() override;
    SdlWaveOut(const SdlWaveOut&) = delete;
    SdlWaveOut& operator=(const SdlWaveOut&) = delete;

    // Opens the default output device, running (silence until the first Write). False with
    // error when there is none; everything is released then.
    bool Open(const WaveFormat& format, WaveDoneNotice notice, std::string& error);
    void Write(WaveHeader* header) override;
    void Reset() override;
    void Close() override;

private:
    // Called on SDL's audio thread with the device locked; must not block or allocate.
    static void SDLCALL Callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID device_ = 0;
    bool audioInitialised_ = false;
    WaveDoneNotice notice_;
    // Guarded by the device's lock (SDL_LockAudioDevice), taken by the callback and us.
    WaveQueue queue_;
    uint32_t frontTaken_ = 0; // bytes of the oldest buffer the device has taken
};

} // namespace platform
