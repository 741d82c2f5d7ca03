#include "SdlCapture.h"

#include <algorithm>
#include <cstring>

namespace record {
namespace {
// Smaller device blocks lose sound in some of SDL's drivers (a third of it through its
// PulseAudio driver at 500 frames); 2048 frames are about 46 ms at 44.1 kHz.
constexpr int MinimumDeviceFrames = 2048;
// The block still in the device when a recording stops is lost with it: keep it short.
constexpr int MaximumDeviceFrames = 4096;
} // namespace

SdlCapture::~SdlCapture()
{
    Close();
}

bool SdlCapture::Open(int rate, int channels, int blockFrames, SampleRing* ring, std::string& error)
{
    // SIGINT and SIGTERM belong to the program, which ends a recording in order on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound system: ") + SDL_GetError();
        return false;
    }
    audioInitialised_ = true;
    ring_ = ring;
    rate_ = rate;
    frameBytes_ = 2 * channels;
    const char* driver = SDL_GetCurrentAudioDriver();
    checkClock_ = driver && std::strcmp(driver, "disk") != 0 && std::strcmp(driver, "dummy") != 0;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(std::clamp(blockFrames, MinimumDeviceFrames, MaximumDeviceFrames));
    want.callback = &SdlCapture::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (device_ == 0) {
        error = std::string("no input device: ") + SDL_GetError();
        Close();
        return false;
    }
    deviceFrames_ = have.samples;
    return true;
}

void SdlCapture::Start()
{
    if (device_) {
        clock_.Started();
        SDL_PauseAudioDevice(device_, 0);
    }
}

void SdlCapture::Close()
{
    if (device_) {
        const int64_t stopNs = MonotonicNs();
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        if (checkClock_)
            lostFrames_ = clock_.ShortfallAt(rate_, stopNs, 2u * deviceFrames_);
    }
    if (audioInitialised_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioInitialised_ = false;
    }
}

void SDLCALL SdlCapture::Callback(void* self, Uint8* stream, int length)
{
    auto* capture = static_cast<SdlCapture*>(self);
    capture->ring_->Write(stream, static_cast<size_t>(length));
    capture->clock_.Delivered(static_cast<uint64_t>(length / capture->frameBytes_));
}

} // namespace record
