#include "WaveOut.h"

#include "PulseConnection.h"
#include "PulseWaveOut.h"
#include "SdlWaveOut.h"

namespace platform {
namespace {
// Set by tests on the window thread, read there by OpenWaveOut.
WaveOutOpener& Opener()
{
    static WaveOutOpener opener;
    return opener;
}

bool Playable(const WaveFormat& format)
{
    return format.FormatTag == 1 && format.BitsPerSample == 16 && format.Channels >= 1 && format.Channels <= 8
        && format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 384000;
}
} // namespace

std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format, WaveDoneNotice notice, std::string& error)
{
    if (Opener())
        return Opener()(format, std::move(notice), error);
    if (!Playable(format)) {
        error = "only 16-bit PCM of 1 to 8 channels can be played";
        return nullptr;
    }
    if (SoundServerWanted()) {
        auto pulse = std::make_unique<PulseWaveOut>();
        std::string pulseError;
        if (pulse->Open(format, notice, pulseError))
            return pulse;
    }
    auto sdl = std::make_unique<SdlWaveOut>();
    if (sdl->Open(format, std::move(notice), error))
        return sdl;
    return nullptr;
}

void SetWaveOutOpener(WaveOutOpener opener)
{
    Opener() = std::move(opener);
}

} // namespace platform
