// Judges a recording of a steady tone. The file must decode and hold at least MIN_SECONDS (and
// at most MAX_SECONDS, when given) of audio; in its middle second every channel must carry the
// tone (the dominant frequency within 2 % of FREQUENCY_HZ, the tone's level above 0.05 of full
// scale), and every tenth of a second from 0.2 s on must carry it too, so a gap anywhere fails.
//
// Usage: check_tone PATH [FREQUENCY_HZ [MIN_SECONDS [MAX_SECONDS]]]   (1000 Hz, 2.5 s unless told)
// Prints what it measured on stdout, and why it failed on stderr.
// Exit: 0 the tone is there, 1 it is not (or the file is unreadable), 2 bad arguments.
#include "fakes/DecodedAudio.h"
#include "fakes/TestSignal.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kFrequencyTolerance = 0.02;
constexpr double kMinimumLevel = 0.05;

bool ParseNumber(const char* text, double& value)
{
    char* last = nullptr;
    value = std::strtod(text, &last);
    return last != text && *last == '\0' && std::isfinite(value);
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // measurements and reasons stay in order in a log
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: check_tone PATH [FREQUENCY_HZ [MIN_SECONDS [MAX_SECONDS]]]\n");
        return 2;
    }
    double frequency = 1000, minSeconds = 2.5, maxSeconds = HUGE_VAL;
    if ((argc > 2 && (!ParseNumber(argv[2], frequency) || frequency <= 0))
        || (argc > 3 && (!ParseNumber(argv[3], minSeconds) || minSeconds < 1))
        || (argc > 4 && (!ParseNumber(argv[4], maxSeconds) || maxSeconds < minSeconds))) {
        std::fprintf(stderr, "check_tone: FREQUENCY_HZ must be above 0, MIN_SECONDS at least 1, MAX_SECONDS not below it\n");
        return 2;
    }

    const fakes::DecodedAudio audio = fakes::DecodeAudioFile(argv[1]);
    if (!audio.ok) {
        std::fprintf(stderr, "check_tone: '%s' does not decode: %s\n", argv[1], audio.error.c_str());
        return 1;
    }
    if (audio.rate <= 0 || audio.channels <= 0) {
        std::fprintf(stderr, "check_tone: '%s' decodes to %d Hz, %d channels\n", argv[1], audio.rate,
            audio.channels);
        return 1;
    }
    const double seconds = audio.Seconds();
    std::printf("check_tone: '%s': %.3f s, %d Hz, %d channel(s)\n", argv[1], seconds, audio.rate, audio.channels);
    if (seconds < minSeconds) {
        std::fprintf(stderr, "check_tone: only %.3f s of audio, expected at least %.3f s\n", seconds, minSeconds);
        return 1;
    }
    if (seconds > maxSeconds) {
        std::fprintf(stderr, "check_tone: %.3f s of audio, expected at most %.3f s\n", seconds, maxSeconds);
        return 1;
    }

    // The middle second, well clear of the start (the tone may reach the capture late) and the end.
    const size_t frames = audio.samples.size() / static_cast<size_t>(audio.channels);
    const size_t count = static_cast<size_t>(audio.rate);
    const size_t first = frames / 2 > count / 2 ? frames / 2 - count / 2 : 0;
    bool good = true;
    for (int ch = 0; ch < audio.channels; ++ch) {
        const double found = fakes::DominantFrequency(audio.samples, audio.channels, ch, audio.rate, first, count);
        const double level = fakes::ToneLevel(audio.samples, audio.channels, ch, audio.rate, frequency, first, count);
        const int16_t peak = fakes::PeakMagnitude(audio.samples, audio.channels, ch, first, count);
        std::printf("check_tone: channel %d, frames %zu..%zu: dominant %.2f Hz, level at %.0f Hz %.4f, peak %d\n", ch,
            first, first + count, found, frequency, level, peak);
        if (std::fabs(found - frequency) > kFrequencyTolerance * frequency) {
            std::fprintf(stderr, "check_tone: channel %d: dominant frequency %.2f Hz is not within %.0f %% of %.0f Hz%s\n",
                ch, found, kFrequencyTolerance * 100, frequency, peak == 0 ? " (the channel is silent)" : "");
            good = false;
        }
        if (!(level > kMinimumLevel)) {
            std::fprintf(stderr, "check_tone: channel %d: level %.4f at %.0f Hz is not above %.2f\n", ch, level,
                frequency, kMinimumLevel);
            good = false;
        }
    }
    // And no gap anywhere: every tenth of a second carries the tone, from 0.2 s (past an
    // encoder's start-up) to the last tenth.
    const size_t tenth = static_cast<size_t>(audio.rate) / 10;
    size_t quiet = 0;
    for (size_t at = static_cast<size_t>(audio.rate) / 5; at + 2 * tenth <= frames; at += tenth)
        for (int ch = 0; ch < audio.channels; ++ch)
            if (!(fakes::ToneLevel(audio.samples, audio.channels, ch, audio.rate, frequency, at, tenth) > kMinimumLevel)) {
                if (quiet++ < 5)
                    std::fprintf(stderr, "check_tone: channel %d: no tone at %.1f s\n", ch,
                        static_cast<double>(at) / audio.rate);
                good = false;
            }
    if (good)
        std::printf("check_tone: the %.0f Hz tone is there throughout\n", frequency);
    return good ? 0 : 1;
}
