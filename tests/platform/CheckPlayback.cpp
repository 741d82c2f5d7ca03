// Writes the signal that play_child plays, and judges a recording of the sink's monitor made
// while it played: the recording must hold the file whole and in order (or, with a reset, up to
// the reset), the sound must start soon after Play and stop soon after the reset, and each
// buffer must come back when it is heard, not before.
//
// Usage: check_playback sweep PATH SECONDS
//          writes a 44100 Hz stereo WAV: a sweep from 200 to 1000 Hz on the left, 1.25 times
//          that on the right, half of full scale, starting at its peak, no stretch alike
//        check_playback judge RECORDING FILE CHILD_LOG STOP_TIME
//          RECORDING: raw 16-bit little-endian 44100 Hz stereo; STOP_TIME: the system clock's
//          seconds when the recorder was stopped, taken as the moment of its last frame
//        check_playback follow RECORDING FILE MAX_DIFFERENCE [seek:MS | resume:MS ...]
//          maps the recording onto FILE and judges it against the seeks and resumes made while
//          it played (FollowPlayback.h)
// Prints what it measured on stdout, why it failed on stderr.
// Exit: 0 passed, 1 failed, 2 bad arguments.
#include "FollowPlayback.h"
#include "fakes/DecodedAudio.h"
#include "fakes/TestSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr size_t BlockFrames = 2048;  // one buffer of play_child: 8192 bytes of stereo
constexpr double Loud = 0.05 * 32767; // above any resampler's ringing around silence
constexpr double Quiet = 0.01 * 32767;
// A silent hole that leaves the timeline unbroken is the server's: it missed a period's
// deadline. Sound that our stream failed to deliver in time comes later instead, and shifts
// what follows. Shorter than one buffer, so that a buffer played as silence still fails.
constexpr size_t MaxHole = BlockFrames - 64; // frames
constexpr double MaxBlockError = 0.1; // of the block's level: a missing block is about 1.4
constexpr double MaxLatency = 0.1;    // seconds from the first write to sound, from the reset to silence
// Seconds a buffer may come back before the monitor hears it: the server reads ahead of the
// sink by its period (pipewire-pulse by one or two), and the monitor's own delivery delays what
// it hears.
constexpr double MaxEarly = 0.1;
// Frames at the start that the monitor may miss: PulseAudio rewinds the sink to start a stream
// at once, and the monitor's recorder has already taken the silence that the rewind replaces.
constexpr size_t MaxSkip = Rate / 100;

struct Log {
    double open = 0, play = 0, reset = -1;
    struct Back {
        uint32_t bytes;
        double at;
    };
    std::vector<Back> played; // came back as played, before any reset
};

bool ReadLog(const char* path, Log& log)
{
    std::ifstream in(path);
    std::string line;
    bool seen = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string what;
        words >> what;
        if (what == "open")
            words >> log.open;
        else if (what == "play")
            seen = static_cast<bool>(words >> log.play);
        else if (what == "reset")
            words >> log.reset;
        else if (what == "back" && log.reset < 0) {
            int index;
            Log::Back back{};
            words >> index >> back.bytes >> back.at;
            log.played.push_back(back);
        }
    }
    return seen;
}

int Sweep(const char* path, double seconds)
{
    const auto frames = static_cast<size_t>(seconds * Rate);
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / Rate;
        const double phase = 2 * std::numbers::pi * (200 * t + 800 * t * t / (2 * seconds));
        samples[2 * i] = static_cast<int16_t>(std::lround(16384 * std::cos(phase)));
        samples[2 * i + 1] = static_cast<int16_t>(std::lround(16384 * std::cos(1.25 * phase)));
    }
    fakes::WriteWav(path, Rate, 2, samples);
    return 0;
}

// The recording at a fractional frame, channel ch, interpolated linearly.
double At(const std::vector<int16_t>& s, double frame, int ch)
{
    const auto whole = static_cast<size_t>(frame);
    const double part = frame - static_cast<double>(whole);
    const size_t frames = s.size() / 2;
    if (whole + 1 >= frames)
        return whole < frames ? s[2 * whole + ch] : 0;
    return s[2 * whole + ch] * (1 - part) + s[2 * (whole + 1) + ch] * part;
}

// Where file frame 0 lies in the recording, to a fraction of a frame: the best match of a tenth
// of a second of the file, from MaxSkip on, near the first loud frame. Negative when nothing
// matches.
double Align(const std::vector<int16_t>& rec, const std::vector<int16_t>& file, size_t loud)
{
    const size_t window = std::min<size_t>(Rate / 10, file.size() / 2 - std::min(file.size() / 2, MaxSkip));
    auto match = [&](long at) {
        double sum = 0;
        if (at < 0 || static_cast<size_t>(at) + MaxSkip + window > rec.size() / 2)
            return -HUGE_VAL;
        for (size_t k = 0; k < 2 * window; ++k)
            sum += static_cast<double>(rec[2 * (at + MaxSkip) + k]) * file[2 * MaxSkip + k];
        return sum;
    };
    long best = -1;
    double bestSum = -HUGE_VAL;
    for (long at = static_cast<long>(loud) - static_cast<long>(MaxSkip) - 40; at <= static_cast<long>(loud) + 40; ++at)
        if (const double sum = match(at); sum > bestSum)
            bestSum = sum, best = at;
    double energy = 0, recEnergy = 0;
    for (size_t k = 0; best >= 0 && k < 2 * window; ++k) {
        energy += static_cast<double>(file[2 * MaxSkip + k]) * file[2 * MaxSkip + k];
        recEnergy += static_cast<double>(rec[2 * (best + MaxSkip) + k]) * rec[2 * (best + MaxSkip) + k];
    }
    if (best < 0 || !(bestSum > 0.9 * std::sqrt(energy * recEnergy)))
        return -1;
    const double before = match(best - 1), after = match(best + 1);
    const double curve = before - 2 * bestSum + after;
    const double shift = std::isfinite(before) && std::isfinite(after) && curve < 0 ? 0.5 * (before - after) / curve : 0;
    return static_cast<double>(best) + shift;
}

// The first blocks of the file against the recording from start on: true when each differs
// by at most MaxBlockError of its level. Silent holes of up to MaxHole frames, 2 % in all, are
// left out and counted: the server's missed deadlines, and the first frames that the monitor
// misses at PulseAudio's rewind.
bool SameBlocks(const std::vector<int16_t>& rec, const std::vector<int16_t>& file, double start, size_t blocks)
{
    const size_t fileFrames = file.size() / 2;
    bool good = true;
    int bad = 0;
    size_t holes = 0, hole = 0, longest = 0, holeFrames = 0;
    for (size_t b = 0; b < blocks && b * BlockFrames < fileFrames; ++b) {
        const size_t from = b * BlockFrames, to = std::min(fileFrames, from + BlockFrames);
        double error = 0, level = 0;
        for (size_t k = from; k < to; ++k) {
            const double at = start + static_cast<double>(k);
            const bool quiet = std::abs(At(rec, at, 0)) < Quiet && std::abs(At(rec, at, 1)) < Quiet;
            const bool loud = std::abs(file[2 * k]) > Loud || std::abs(file[2 * k + 1]) > Loud;
            hole = quiet && loud ? hole + 1 : 0;
            if (hole > 0) {
                holes += hole == 1;
                ++holeFrames;
                longest = std::max(longest, hole);
                continue;
            }
            for (int ch = 0; ch < 2; ++ch) {
                const double want = file[2 * k + ch], got = At(rec, at, ch);
                error += (got - want) * (got - want);
                level += want * want;
            }
        }
        const double relative = level > 0 ? std::sqrt(error / level) : 0;
        if (!(relative <= MaxBlockError)) {
            if (bad++ < 5)
                std::fprintf(stderr, "check_playback: block %zu (frames %zu..%zu) differs from the file by %.3f\n", b,
                    from, to, relative);
            good = false;
        }
    }
    std::printf("check_playback: %zu blocks of %zu frames compared; %zu silent holes, %zu frames in all, the longest "
                "%.1f ms\n",
        blocks, BlockFrames, holes, holeFrames, 1000.0 * static_cast<double>(longest) / Rate);
    if (longest > MaxHole || holeFrames > std::min(fileFrames, blocks * BlockFrames) / 50) {
        std::fprintf(stderr, "check_playback: sound missing: a hole of %zu frames, %zu in all\n", longest, holeFrames);
        good = false;
    }
    return good;
}

int Judge(const char* recPath, const char* filePath, const char* logPath, double stop)
{
    fakes::DecodedAudio rec;
    std::ifstream raw(recPath, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(raw), std::istreambuf_iterator<char>()};
    rec.samples.resize(bytes.size() / 4 * 2);
    std::memcpy(rec.samples.data(), bytes.data(), rec.samples.size() * 2);
    const fakes::DecodedAudio file = fakes::DecodeAudioFile(filePath);
    Log log;
    if (!file.ok || file.rate != Rate || file.channels != 2 || rec.samples.empty()) {
        std::fprintf(stderr, "check_playback: no recording, or the file is not 44100 Hz stereo: %s\n",
            file.error.c_str());
        return 1;
    }
    if (!ReadLog(logPath, log)) {
        std::fprintf(stderr, "check_playback: no play time in %s\n", logPath);
        return 1;
    }
    const size_t frames = rec.samples.size() / 2, fileFrames = file.samples.size() / 2;
    auto loudAt = [&](size_t f) { return std::abs(rec.samples[2 * f]) > Loud || std::abs(rec.samples[2 * f + 1]) > Loud; };
    size_t first = 0;
    while (first < frames && !loudAt(first))
        ++first;
    size_t last = frames;
    while (last > first && !loudAt(last - 1))
        --last;
    if (first == frames) {
        std::fprintf(stderr, "check_playback: the recording is silent\n");
        return 1;
    }
    const double start = Align(rec.samples, file.samples, first);
    if (start < 0) {
        std::fprintf(stderr, "check_playback: the sound at frame %zu is not the file's start\n", first);
        return 1;
    }
    // Recording frame f was captured at about this moment.
    auto timeOf = [&](double f) { return stop - (static_cast<double>(frames) - f) / Rate; };
    const bool reset = log.reset >= 0;
    // Frames of the file that were heard: all of it, or up to the silence after the reset.
    const double heard = reset ? static_cast<double>(last) - start : static_cast<double>(fileFrames);
    bool good = true;
    const double playToSound = timeOf(start) - log.play, openToSound = timeOf(start) - log.open;
    std::printf("check_playback: sound at frame %.2f of %zu: %.1f ms after the first write, %.1f ms after the open\n",
        start, frames, 1000 * playToSound, 1000 * openToSound);
    // From the first write: the open's own time is the server's (pipewire-pulse links a new
    // stream through its session manager first), shown above.
    if (playToSound > MaxLatency) {
        std::fprintf(stderr, "check_playback: the sound came %.1f ms after the first write\n", 1000 * playToSound);
        good = false;
    }

    // Every block heard matches the file's, in order: a lost, repeated or moved buffer does not.
    const auto blocks = reset ? static_cast<size_t>(std::max(0.0, heard - 64) / BlockFrames)
                              : (fileFrames + BlockFrames - 1) / BlockFrames;
    good = SameBlocks(rec.samples, file.samples, start, blocks) && good;
    if (!reset && static_cast<double>(last) > start + static_cast<double>(fileFrames) + 64) {
        std::fprintf(stderr, "check_playback: sound %.1f ms past the file's end\n",
            1000 * (static_cast<double>(last) - start - static_cast<double>(fileFrames)) / Rate);
        good = false;
    }
    if (reset) {
        const double resetToSilence = timeOf(static_cast<double>(last)) - log.reset;
        std::printf("check_playback: %.0f frames heard; silence %.1f ms after the reset\n", heard,
            1000 * resetToSilence);
        if (resetToSilence > MaxLatency) {
            std::fprintf(stderr, "check_playback: the sound stopped %.1f ms after the reset\n", 1000 * resetToSilence);
            good = false;
        }
    }

    // Each buffer came back once heard: its end's moment in the recording against its return.
    double earliest = -HUGE_VAL, latest = -HUGE_VAL, ends = 0;
    for (const Log::Back& back : log.played) {
        ends += back.bytes / 4.0;
        const double heardAt = timeOf(start + ends);
        earliest = std::max(earliest, heardAt - back.at);
        latest = std::max(latest, back.at - heardAt);
    }
    std::printf("check_playback: %zu buffers came back as played, at most %.1f ms before and %.1f ms after they "
                "were heard\n",
        log.played.size(), 1000 * earliest, 1000 * latest);
    if (earliest > MaxEarly) {
        std::fprintf(stderr, "check_playback: a buffer came back %.1f ms before it was heard\n", 1000 * earliest);
        good = false;
    }
    if (ends > heard + 0.01 * Rate) {
        std::fprintf(stderr, "check_playback: %.0f frames came back as played, %.0f were heard\n", ends, heard);
        good = false;
    }
    return good ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "sweep" && argc == 4 && std::atof(argv[3]) > 0)
        return Sweep(argv[2], std::atof(argv[3]));
    if (verb == "judge" && argc == 6)
        return Judge(argv[2], argv[3], argv[4], std::atof(argv[5]));
    if (verb == "follow" && argc >= 5)
        if (const int result = FollowPlayback(argc - 2, argv + 2); result != 2)
            return result;
    std::fprintf(stderr, "usage: check_playback sweep PATH SECONDS\n"
                         "       check_playback judge RECORDING FILE CHILD_LOG STOP_TIME\n"
                         "       check_playback follow RECORDING FILE MAX_DIFFERENCE [seek:MS | resume:MS ...]\n");
    return 2;
}
