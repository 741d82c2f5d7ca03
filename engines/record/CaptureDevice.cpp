#include "CaptureDevice.h"

#include "PulseCapture.h"
#include "SdlCapture.h"
#include "platform/PulseConnection.h"

namespace record {

std::unique_ptr<CaptureDevice> OpenCaptureDevice(int rate, int channels, int blockFrames, SampleRing* ring,
    std::string& error)
{
    if (platform::SoundServerWanted()) {
        auto pulse = std::make_unique<PulseCapture>();
        std::string pulseError;
        if (pulse->Open(rate, channels, ring, pulseError))
            return pulse;
    }
    auto sdl = std::make_unique<SdlCapture>();
    if (sdl->Open(rate, channels, blockFrames, ring, error))
        return sdl;
    return nullptr;
}

} // namespace record
