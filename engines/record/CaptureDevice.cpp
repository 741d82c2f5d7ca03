#include "CaptureDevice.h"

#include "PulseCapture.h"
#include "SdlCapture.h"
#include "platform/PulseConnection.h"

namespace record {

std::unique_ptr<CaptureDevice> OpenCaptureDevice(int rate, int channels, int blockFrames, const std::string& input,
    SampleRing* ring, std::string& error)
{
    std::string pulseError;
    if (platform::SoundServerWanted()) {
        auto pulse = std::make_unique<PulseCapture>();
        if (pulse->Open(rate, channels, input, ring, pulseError))
            return pulse;
    }
    auto sdl = std::make_unique<SdlCapture>();
    if (sdl->Open(rate, channels, blockFrames, ring, error))
        return sdl;
    // Both reasons: the server's is the one a user of a desktop can act on.
    if (!pulseError.empty())
        error = pulseError + "; " + error;
    return nullptr;
}

} // namespace record
