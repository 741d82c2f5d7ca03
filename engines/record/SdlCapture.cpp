#include "SdlCapture.h"

#include <algorithm>

namespace record {

SdlCapture::~SdlCapture()
{
    Close();
}

bool SdlCapture::Open(int rate, int channels, int blockFrames, SampleRing* ring, std::string& error)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound system: ") + SDL_GetError();
        return false;
    }
    audioInitialised_ = true;
    ring_ = ring;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(std::clamp(blockFrames, 64, 32768));
    want.callback = &SdlCapture::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (device_ == 0) {
        error = std::string("no input device: ") + SDL_GetError();
        Close();
        return false;
    }
    return true;
}

void SdlCapture::Start()
{
    if (device_)
        SDL_PauseAudioDevice(device_, 0);
}

void SdlCapture::Close()
{
    if (device_) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (audioInitialised_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioInitialised_ = false;
    }
}

void SDLCALL SdlCapture::Callback(void* self, Uint8* stream, int length)
{
    static_cast<SdlCapture*>(self)->ring_->Write(stream, static_cast<size_t>(length));
}

} // namespace record
