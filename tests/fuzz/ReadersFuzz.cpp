// libFuzzer target for the audio file readers: any bytes, saved as a WAV, MP3 or WMA file,
// must describe, open at several positions, read to the end and close without a crash, a
// hang, or a block outside its buffer. The first byte chooses the extension (its value
// modulo 3: 0 .wav, 1 .mp3, 2 .wma; the seeds begin with '0', '1' or '2'); the rest is the
// file.
#include "playback/mp3io.h"
#include "playback/wmaio.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::filesystem::path folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

// Reads from startMs to the end and answers the bytes read. A finite file gives a finite
// stream: the bound only keeps a decoder that never ends from hanging the run, and is reported
// as the fault it is.
uint64_t ReadFrom(const std::string& path, const AudioFileInfo& info, int32_t startMs, size_t inputSize)
{
    OpenAudioReader(path, info, startMs);
    const size_t maxBlocks = 4096 + 64 * inputSize;
    size_t blocks = 0;
    uint64_t bytes = 0;
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    while (ReadAudioBlock(info, block, size)) {
        Check(++blocks <= maxBlocks);
        Check(size <= AudioBlockBytes);
        Check(size == 0 || block != nullptr);
        bytes += size;
        // Every byte of the block must be readable (the sanitizer checks the loads).
        unsigned sum = 0;
        for (uint32_t i = 0; i < size; ++i)
            sum += block[i];
        volatile unsigned keep = sum;
        (void)keep;
    }
    CloseAudioReader(info);
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Without a window levels are posted nowhere; the readers need none.
    SetReaderLevelTarget(nullptr);
    LoadWmaLibrary();
    Check(WmaLibraryLoaded);
    // FFmpeg's complaints about damaged input would drown the fuzzer's own output.
    av_log_set_level(AV_LOG_QUIET);
    std::string pattern = (std::filesystem::temp_directory_path() / "readers_fuzz.XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr);
    folder = pattern;
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const names[] = {"input.wav", "input.mp3", "input.wma"};
    const std::string path = (folder / names[data[0] % 3]).string();
    if (!WriteFile(path, data + 1, size - 1))
        return 0;

    AudioFileInfo info;
    DescribeAudioFile(path, info); // a failed description still names the kind: read it anyway
    const int64_t length = info.DurationMs;
    for (const int64_t startMs : {int64_t{0}, length / 2, length + 1000, int64_t{INT32_MAX}})
        ReadFrom(path, info, static_cast<int32_t>(std::min<int64_t>(startMs, INT32_MAX)), size);
    return 0;
}
