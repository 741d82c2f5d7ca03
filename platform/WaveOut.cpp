#include "WaveOut.h"

namespace platform {
namespace {
WaveOutOpener& Opener()
{
    static WaveOutOpener opener;
    return opener;
}
} // namespace

void SetWaveOutOpener(WaveOutOpener opener)
{
    Opener() = std::move(opener);
}

std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format, WaveDoneNotice notice, std::string& error)
{
    if (Opener())
        return Opener()(format, std::move(notice), error);
    // The sound server's output and SDL's come here.
    error = "no wave output";
    return nullptr;
}

} // namespace platform
