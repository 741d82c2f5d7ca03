#include "SdlWaveOut.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
// About 23 ms at 44.1 kHz: the device's block, and so how late a Reset falls silent.
constexpr Uint16 DeviceFrames = 1024;
} // namespace

SdlWaveOut::~SdlWaveOut()
{
    Close();
}

bool SdlWaveOut::Open(const WaveFormat& format, WaveDoneNotice notice, std::string& error)
{
    // SIGINT and SIGTERM belong to the program, which ends a recording in order on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound system: ") + SDL_GetError();
        return false;
    }
    audioInitialised_ = true;
    notice_ = std::move(notice);
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.SamplesPerSec);
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(format.Channels);
    want.samples = DeviceFrames;
    want.callback = &SdlWaveOut::Callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device runs.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        error = std::string("no output device: ") + SDL_GetError();
        Close();
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlWaveOut::Write(WaveHeader* header)
{
    if (!device_)
        return;
    SDL_LockAudioDevice(device_);
    queue_.Push(header);
    SDL_UnlockAudioDevice(device_);
}

void SdlWaveOut::Reset()
{
    if (!device_)
        return;
    // With the device locked the callback is not running and cannot start: what it took of the
    // oldest buffer is in the device's block already, the rest goes back unplayed.
    SDL_LockAudioDevice(device_);
    frontTaken_ = 0;
    queue_.HandBackAll(this, notice_);
    SDL_UnlockAudioDevice(device_);
}

void SdlWaveOut::Close()
{
    if (device_) {
        Reset();
        // Returns once the callback has run for the last time.
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    notice_ = nullptr;
    if (audioInitialised_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioInitialised_ = false;
    }
}

void SDLCALL SdlWaveOut::Callback(void* self, Uint8* stream, int length)
{
    auto* output = static_cast<SdlWaveOut*>(self);
    auto left = static_cast<uint32_t>(length);
    while (left > 0 && !output->queue_.Empty()) {
        const WaveHeader* front = output->queue_.Front();
        const uint32_t count = std::min(left, front->BufferLength - output->frontTaken_);
        std::memcpy(stream, front->Data + output->frontTaken_, count);
        stream += count;
        left -= count;
        output->frontTaken_ += count;
        if (output->frontTaken_ == front->BufferLength) {
            output->frontTaken_ = 0;
            output->queue_.HandBackFront(output, output->notice_);
        }
    }
    // Nothing queued: 16-bit silence.
    std::memset(stream, 0, left);
}

} // namespace platform
