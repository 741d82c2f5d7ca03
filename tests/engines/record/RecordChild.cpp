// A recording in a process of its own, for tests that kill a recording midway or point it at
// a real sound server: starts the record library on SDL's default input device, says
// "recording" once capture runs, records for a while and stops.
//
// Usage: record_child FORMAT RATE CHANNELS KBPS PATH SECONDS
//   FORMAT 0 WAV, 1 MP3, 2 WMA; KBPS is ignored for WAV. Blocks of 2000 bytes, 16 of them.
//   SECONDS negative, or over a year (inf too): record until killed.
// Prints "recording" (flushed) on stdout once started; after the stop, "recorded SECONDS"
// (from the start's return to the stop's call, with a dot) and "lost MILLISECONDS" (what the
// library says it lost).
// Exit: 0 recorded and stopped, 1 bad arguments, 2 StartRecord refused.
#include "engines/record/RecordApi.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>
#include <thread>

namespace {

constexpr double kForeverSeconds = 366.0 * 24 * 3600;

bool ParseInt(const char* text, int32_t& value)
{
    const char* end = text + std::strlen(text);
    auto [last, error] = std::from_chars(text, end, value);
    return error == std::errc() && last == end && last != text;
}

bool ParseSeconds(const char* text, double& value)
{
    char* last = nullptr;
    value = std::strtod(text, &last);
    return last != text && *last == '\0' && !std::isnan(value);
}

int Usage(const char* why)
{
    std::fprintf(stderr,
        "record_child: %s\n"
        "usage: record_child FORMAT RATE CHANNELS KBPS PATH SECONDS\n"
        "  FORMAT 0 WAV, 1 MP3, 2 WMA; SECONDS < 0: until killed\n",
        why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 7)
        return Usage("expected 6 arguments");
    StartRecordParams params{};
    params.BufferSize = 2000;
    params.BufferNumber = 16;
    if (!ParseInt(argv[1], params.Format))
        return Usage("FORMAT is not an integer");
    if (!ParseInt(argv[2], params.SampleRate))
        return Usage("RATE is not an integer");
    if (!ParseInt(argv[3], params.Channels))
        return Usage("CHANNELS is not an integer");
    if (!ParseInt(argv[4], params.Bitrate))
        return Usage("KBPS is not an integer");
    const char* path = argv[5];
    double seconds = 0;
    if (!ParseSeconds(argv[6], seconds))
        return Usage("SECONDS is not a number");

    // SDL's disk driver at full speed (SDL_DISKAUDIODELAY=0) sleeps for 0 ms between blocks:
    // with the default timer slack that is 50 us each, a third of the time of a block.
    prctl(PR_SET_TIMERSLACK, 1UL);
    using Clock = std::chrono::steady_clock;
    if (!StartRecord(&params, path, 0, 0, 0)) {
        std::fprintf(stderr,
            "record_child: StartRecord refused (format %d, %d Hz, %d channels, %d kbit/s, '%s'); "
            "SDL_AUDIODRIVER=%s\n",
            params.Format, params.SampleRate, params.Channels, params.Bitrate, path,
            std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "(unset)");
        return 2;
    }
    const Clock::time_point started = Clock::now();
    std::fputs("recording\n", stdout);
    std::fflush(stdout);

    if (seconds < 0 || seconds > kForeverSeconds) {
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double recorded = std::chrono::duration<double>(Clock::now() - started).count();
    StopRecord();
    // Whole milliseconds, printed without the locale's help so the decimal point is a dot.
    const long long ms = static_cast<long long>(recorded * 1000 + 0.5);
    std::printf("recorded %lld.%03lld\nlost %u\n", ms / 1000, ms % 1000, RecordLossMs());
    return 0;
}
