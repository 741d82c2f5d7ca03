// How fast the recording library's writer turns PCM into each file format, in seconds of
// audio per second of CPU, and how much CPU a real-time MP3 recording takes.
//
//   engine_bench PCM_OUT_PATH OUT_DIR
//       Makes ten minutes of 44100 Hz stereo 16-bit audio (a tone with a little noise, the
//       same every run), writes it as raw PCM to PCM_OUT_PATH (so the same audio can be
//       handed to another encoder), then writes it as WAV, MP3 (128 kbit/s) and WMA
//       (64 kbit/s) into OUT_DIR through the writer's own per-block work, 2000 bytes at a
//       time. Prints one line per format on stdout: "<format> <audio s per CPU s>".
//
//   engine_bench --realtime-mp3 SECONDS OUT_DIR
//       Records SECONDS of MP3 through the C interface with SDL's disk audio driver feeding
//       a tone file, and prints the CPU the whole process used meanwhile.
#include "CpuTime.h"
#include "engines/record/Mp3Sink.h"
#include "engines/record/RecordApi.h"
#include "engines/record/Recorder.h"
#include "engines/record/WavSink.h"
#include "engines/record/WavLayout.h"
#include "engines/record/WmaSink.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr int Channels = 2;
constexpr int BlockBytes = 2000;
constexpr int RingBlocks = 16;
constexpr int BenchSeconds = 600;
constexpr double Pi = 3.14159265358979323846;

double WallSeconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// A 440 Hz tone on the left, 660 Hz on the right, at about -8 dBFS, with noise about 40 dB
// below it. Whole cycles fit in a second, so the phase is taken from the frame within its
// second and stays exact over any length. The noise is a fixed xorshift sequence.
std::vector<int16_t> MakeSignal(int seconds, bool noise)
{
    const size_t frames = static_cast<size_t>(seconds) * Rate;
    std::vector<int16_t> pcm(frames * Channels);
    uint32_t state = 0x9E3779B9u;
    const auto nextNoise = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state % 257u) - 128; // -128 to 128
    };
    const double amplitude = 0.4 * 32767.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i % Rate) / Rate;
        const double left = amplitude * std::sin(2.0 * Pi * 440.0 * t);
        const double right = amplitude * std::sin(2.0 * Pi * 660.0 * t);
        const int nl = noise ? nextNoise() : 0;
        const int nr = noise ? nextNoise() : 0;
        pcm[2 * i] = static_cast<int16_t>(std::clamp(static_cast<int>(std::lround(left)) + nl, -32768, 32767));
        pcm[2 * i + 1] = static_cast<int16_t>(std::clamp(static_cast<int>(std::lround(right)) + nr, -32768, 32767));
    }
    return pcm;
}

bool WriteRaw(const std::string& path, const std::vector<int16_t>& pcm)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * sizeof(int16_t)));
    out.close();
    return static_cast<bool>(out);
}

uint64_t FileBytes(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : static_cast<uint64_t>(size);
}

// Runs the writer's work over the whole signal: for each 2000-byte block the levels and the
// sink write (what the writer thread does per captured block), a checkpoint every half
// second of audio (the writer checkpoints every 500 ms), then the finish. Returns the CPU
// seconds from the sink's preparation to its finish, or a negative value on failure.
double RunFormat(const char* name, std::unique_ptr<record::AudioSink> sink, const std::string& path,
    const std::vector<int16_t>& pcm, uint64_t minBytes)
{
    // The real writer always computes the levels (the report is taken or not afterwards),
    // so the benchmark's callback is a cheap one that is not empty.
    uint64_t levelSum = 0;
    record::Recorder recorder(std::move(sink), BlockBytes, RingBlocks,
        [&levelSum](record::BlockLevels l) { levelSum += l.left + l.right; });

    const double cpuStart = CpuSeconds();
    std::string error;
    if (!recorder.Sink().Prepare(error) || !recorder.Sink().Open(error)) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        return -1;
    }
    const size_t blockFrames = BlockBytes / (2 * Channels);
    const size_t checkpointFrames = Rate / 2;
    const size_t totalFrames = pcm.size() / Channels;
    size_t sinceCheckpoint = 0;
    for (size_t at = 0; at < totalFrames; at += blockFrames) {
        const size_t frames = std::min(blockFrames, totalFrames - at);
        recorder.Consume(pcm.data() + at * Channels, frames);
        sinceCheckpoint += frames;
        if (sinceCheckpoint >= checkpointFrames) {
            recorder.Sink().Checkpoint();
            sinceCheckpoint = 0;
        }
    }
    recorder.Sink().Finish();
    const double cpu = CpuSeconds() - cpuStart;

    const uint64_t bytes = FileBytes(path);
    std::fprintf(stderr, "%s: %d s of audio, %.3f CPU s, %llu bytes in %s (levels %llu)\n", name, BenchSeconds, cpu,
        static_cast<unsigned long long>(bytes), path.c_str(), static_cast<unsigned long long>(levelSum));
    if (recorder.Sink().Failed() || bytes < minBytes) {
        std::fprintf(stderr, "%s: the file is missing or too short (expected at least %llu bytes)\n", name,
            static_cast<unsigned long long>(minBytes));
        return -1;
    }
    return cpu;
}

int Throughput(const std::string& pcmPath, const std::string& outDir)
{
    const std::vector<int16_t> pcm = MakeSignal(BenchSeconds, true);
    if (!WriteRaw(pcmPath, pcm)) {
        std::fprintf(stderr, "cannot write %s\n", pcmPath.c_str());
        return 1;
    }
    const double audio = BenchSeconds;
    // The least a right file can hold: the PCM itself, or 90 % of the bitrate's bytes.
    const uint64_t pcmBytes = pcm.size() * sizeof(int16_t);
    const auto bitrateBytes = [audio](int kbps) { return static_cast<uint64_t>(0.9 * kbps * 1000.0 / 8.0 * audio); };

    struct Case {
        const char* name;
        std::string path;
        std::function<std::unique_ptr<record::AudioSink>(const std::string&)> make;
        uint64_t minBytes;
    };
    const std::vector<Case> cases = {
        {"wav", outDir + "/bench.wav",
            [](const std::string& p) { return std::make_unique<record::WavSink>(p, Rate, Channels, false, 0); },
            pcmBytes + record::WavDataOffset},
        {"mp3", outDir + "/bench.mp3",
            [](const std::string& p) { return std::make_unique<record::Mp3Sink>(p, Rate, Channels, 128, false, 0); },
            bitrateBytes(128)},
        {"wma", outDir + "/bench.wma",
            [](const std::string& p) { return std::make_unique<record::WmaSink>(p, Rate, Channels, 64); },
            bitrateBytes(64)},
    };
    int status = 0;
    for (const Case& c : cases) {
        const double cpu = RunFormat(c.name, c.make(c.path), c.path, pcm, c.minBytes);
        if (cpu < 0) {
            status = 1;
            continue;
        }
        std::printf("%s %.2f\n", c.name, audio / std::max(cpu, 1e-6));
        std::fflush(stdout);
    }
    return status;
}

int RealtimeMp3(int seconds, const std::string& outDir)
{
    const std::string input = outDir + "/realtime-in.raw";
    const std::string output = outDir + "/realtime.mp3";
    if (!WriteRaw(input, MakeSignal(seconds + 5, false))) {
        std::fprintf(stderr, "cannot write %s\n", input.c_str());
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);

    const StartRecordParams params{1, Rate, Channels, BlockBytes, 16, 128};
    const double cpuStart = CpuSeconds();
    const double wallStart = WallSeconds();
    if (!StartRecord(&params, output.c_str(), 0, 0, 0)) {
        std::fprintf(stderr, "realtime-mp3: the recording did not start\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    StopRecord();
    const double cpu = CpuSeconds() - cpuStart;
    const double wall = WallSeconds() - wallStart;

    const uint64_t bytes = FileBytes(output);
    const uint64_t expected = static_cast<uint64_t>(128 * 1000.0 / 8.0 * seconds);
    std::fprintf(stderr, "realtime-mp3: %llu bytes in %s (%.1f s at 128 kbit/s)\n",
        static_cast<unsigned long long>(bytes), output.c_str(), static_cast<double>(bytes) * 8.0 / 128000.0);
    std::printf("realtime-mp3 cpu_seconds %.3f wall_seconds %.3f cpu_percent %.3f\n", cpu, wall, 100.0 * cpu / wall);
    std::fflush(stdout);
    if (bytes < expected * 9 / 10) {
        std::fprintf(stderr, "realtime-mp3: the file holds less than 90 %% of the time recorded\n");
        return 1;
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
        "usage: engine_bench PCM_OUT_PATH OUT_DIR\n"
        "       engine_bench --realtime-mp3 SECONDS OUT_DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--realtime-mp3") {
        char* end = nullptr;
        const long seconds = std::strtol(argv[2], &end, 10);
        if (!end || *end != '\0' || seconds <= 0 || seconds > 24 * 3600)
            return Usage();
        return RealtimeMp3(static_cast<int>(seconds), argv[3]);
    }
    if (argc == 3 && argv[1][0] != '-')
        return Throughput(argv[1], argv[2]);
    return Usage();
}
