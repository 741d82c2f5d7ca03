// Plays a WAV file through the program's wave output (OpenWaveOut: the sound server when one
// answers) as the playback does: 16 buffers of 8192 bytes, each refilled when it comes back.
// Optionally resets midway, as a pause does, and closes 0.3 s later. Says when things
// happened, for the checks of what the server played.
//
// Usage: play_child FILE [RESET_AFTER_MS]
// Prints one line per event, times in seconds of the system clock:
//   output pulse|sdl            which output opened
//   open T                      just before the output is opened (the press of Play)
//   play T                      just before the first buffer is written
//   back INDEX BYTES T          a buffer came back: INDEX counts the writes from 0
//   reset T / reset-done N T    around the reset; N buffers came back during it
//   end T                       the last buffer came back (no reset)
// Exit: 0 every buffer came back in order, and none after Close; 1 otherwise; 2 bad arguments.
#include "fakes/BufferFeeder.h"
#include "fakes/DecodedAudio.h"
#include "fakes/ReturnedBuffers.h"
#include "platform/PulseWaveOut.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int Buffers = 16;
constexpr uint32_t BufferBytes = 8192;

double Now()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

int Fail(const char* why)
{
    std::fprintf(stderr, "play_child: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: play_child FILE [RESET_AFTER_MS]\n");
        return 2;
    }
    const double resetAfter = argc > 2 ? std::atof(argv[2]) / 1000 : -1;
    const fakes::DecodedAudio audio = fakes::DecodeAudioFile(argv[1]);
    if (!audio.ok || audio.samples.empty())
        return Fail(("cannot read the file: " + audio.error).c_str());
    std::vector<uint8_t> bytes(audio.samples.size() * 2);
    std::memcpy(bytes.data(), audio.samples.data(), bytes.size());

    platform::WaveFormat format;
    format.Channels = static_cast<uint16_t>(audio.channels);
    format.SamplesPerSec = static_cast<uint32_t>(audio.rate);
    format.BlockAlign = static_cast<uint16_t>(2 * audio.channels);
    format.AvgBytesPerSec = format.SamplesPerSec * format.BlockAlign;
    fakes::ReturnedBuffers returned;
    std::string error;
    const double open = Now();
    auto output = platform::OpenWaveOut(format, returned.Notice(), error);
    if (!output)
        return Fail(("no output: " + error).c_str());
    std::printf("output %s\n", dynamic_cast<platform::PulseWaveOut*>(output.get()) ? "pulse" : "sdl");
    std::printf("open %.6f\n", open);

    fakes::BufferFeeder feeder(*output, bytes, Buffers, BufferBytes);
    const double play = Now();
    std::printf("play %.6f\n", play);
    feeder.Prime();
    int index = 0;
    while (!feeder.Finished()) {
        if (resetAfter >= 0 && Now() >= play + resetAfter) {
            const size_t before = returned.Count();
            std::printf("reset %.6f\n", Now());
            output->Reset();
            const size_t during = returned.Count() - before;
            std::printf("reset-done %zu %.6f\n", during, Now());
            for (platform::WaveHeader* header; (header = returned.Next(0ms));) {
                if (!feeder.Returned(header, false))
                    return Fail("a buffer came back out of order at the reset");
                std::printf("back %d %u %.6f\n", index++, header->BufferLength, Now());
            }
            if (feeder.Outstanding() != 0)
                return Fail("the reset returned before every buffer came back");
            // Open a while longer: the reset alone must silence it.
            std::this_thread::sleep_for(300ms);
            break;
        }
        platform::WaveHeader* header = returned.Next(10ms);
        if (!header) {
            if (Now() > play + 1 + static_cast<double>(bytes.size()) / format.AvgBytesPerSec + 5)
                return Fail("buffers stopped coming back");
            continue;
        }
        const uint32_t length = header->BufferLength;
        if (!feeder.Returned(header))
            return Fail("a buffer came back out of order");
        std::printf("back %d %u %.6f\n", index++, length, Now());
    }
    if (resetAfter < 0)
        std::printf("end %.6f\n", Now());
    const size_t count = returned.Count();
    output->Close();
    std::this_thread::sleep_for(300ms);
    if (returned.Count() != count)
        return Fail("a buffer came back after Close");
    return 0;
}
