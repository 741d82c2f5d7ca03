// How fast the playback readers turn MP3 and WMA files into 16-bit PCM blocks, in seconds of
// audio per second of CPU, and how many heap allocations each block costs.
//
//   decode_bench FILE...
//       For each file (named .mp3 or .wma): describe it, open the reader at 0 ms, read every
//       block through ReadAudioBlock, close; three times, keeping the lowest CPU (user + sys,
//       from getrusage). Prints one line per file on stdout:
//           "<file> <audio s per CPU s>"
//       and on stderr the details, with the allocations of the steady-state loop (every block
//       after the first 10): operator new calls (our C++ code, any new/new[] form) per block,
//       and the C allocator's calls (malloc, calloc, realloc, posix_memalign, memalign,
//       aligned_alloc, valloc, pvalloc: FFmpeg's own packet and frame handling, and also the
//       memory behind each operator new) per block.
//
// Allocations are counted by defining the C allocator's entry points in this program, which
// the dynamic linker then binds for every library too, and forwarding them to glibc's own
// __libc_* functions, so free() stays glibc's. The counters are relaxed atomics.
#include "CpuTime.h"
#include "playback/AudioFileInfo.h"
#include "playback/mp3io.h"
#include "playback/wmaio.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

// ---- allocation counting --------------------------------------------------------------------

namespace {
std::atomic<uint64_t> cAllocations{0};   // calls into the C allocator
std::atomic<uint64_t> newAllocations{0}; // calls of operator new / new[]

inline void CountC() { cAllocations.fetch_add(1, std::memory_order_relaxed); }
inline void CountNew() { newAllocations.fetch_add(1, std::memory_order_relaxed); }
} // namespace

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);

void* malloc(size_t size)
{
    CountC();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    CountC();
    return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size)
{
    CountC();
    return __libc_realloc(p, size);
}

void* memalign(size_t alignment, size_t size)
{
    CountC();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size)
{
    CountC();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size)
{
    CountC();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

void* valloc(size_t size)
{
    CountC();
    return __libc_valloc(size);
}

void* pvalloc(size_t size)
{
    CountC();
    return __libc_pvalloc(size);
}
} // extern "C"

namespace {
void* NewBytes(size_t size)
{
    CountNew();
    if (size == 0)
        size = 1;
    void* p = std::malloc(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* NewAligned(size_t size, std::align_val_t alignment)
{
    CountNew();
    const size_t a = std::max(static_cast<size_t>(alignment), sizeof(void*));
    void* p = nullptr;
    if (posix_memalign(&p, a, size ? size : 1) != 0)
        throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new(size_t size) { return NewBytes(size); }
void* operator new[](size_t size) { return NewBytes(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return NewBytes(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    try {
        return NewBytes(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(size_t size, std::align_val_t a) { return NewAligned(size, a); }
void* operator new[](size_t size, std::align_val_t a) { return NewAligned(size, a); }
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try {
        return NewAligned(size, a);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept
{
    try {
        return NewAligned(size, a);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

// ---- the benchmark --------------------------------------------------------------------------

namespace {

constexpr int Runs = 3;
constexpr uint64_t WarmupBlocks = 10;

struct RunResult {
    bool ok = false;
    double cpu = 0;          // describe + open + read + close
    uint64_t bytes = 0;      // PCM bytes read
    uint64_t blocks = 0;     // blocks read (including empty ones)
    uint64_t steadyBlocks = 0;
    uint64_t steadyNew = 0;  // operator new calls after the first WarmupBlocks blocks
    uint64_t steadyC = 0;    // C allocator calls after the first WarmupBlocks blocks
    AudioFileInfo info;
};

RunResult ReadOnce(const std::string& path)
{
    RunResult r;
    const double start = CpuSeconds();
    AudioFileInfo info;
    if (!DescribeAudioFile(path, info)) {
        std::fprintf(stderr, "%s: cannot describe the file\n", path.c_str());
        return r;
    }
    r.info = info;
    if (!OpenAudioReader(path, info, 0)) {
        std::fprintf(stderr, "%s: cannot open the reader\n", path.c_str());
        CloseAudioReader(info);
        return r;
    }
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    uint64_t new0 = 0;
    uint64_t c0 = 0;
    uint64_t checksum = 0;
    while (ReadAudioBlock(info, block, size)) {
        ++r.blocks;
        r.bytes += size;
        if (block && size >= 2)
            checksum += block[size / 2];
        if (r.blocks == WarmupBlocks) {
            new0 = newAllocations.load(std::memory_order_relaxed);
            c0 = cAllocations.load(std::memory_order_relaxed);
        }
    }
    // The loop's last call (the one that said "no more") is counted as part of the loop.
    if (r.blocks > WarmupBlocks) {
        r.steadyBlocks = r.blocks - WarmupBlocks;
        r.steadyNew = newAllocations.load(std::memory_order_relaxed) - new0;
        r.steadyC = cAllocations.load(std::memory_order_relaxed) - c0;
    }
    CloseAudioReader(info);
    r.cpu = CpuSeconds() - start;
    r.ok = r.bytes > 0;
    if (checksum == 0x5EED5EED5EEDull) // keeps the reads of the blocks from being dropped
        std::fprintf(stderr, "%s: checksum\n", path.c_str());
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE...   (files named .mp3 or .wma)\n", argv[0]);
        return 2;
    }
    LoadWmaLibrary();
    if (!WmaLibraryLoaded)
        std::fprintf(stderr, "the WMA library is not bound; WMA files cannot be read\n");

    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        RunResult best;
        for (int run = 0; run < Runs; ++run) {
            const RunResult r = ReadOnce(path);
            if (!r.ok) {
                best = r;
                break;
            }
            if (!best.ok || r.cpu < best.cpu)
                best = r;
        }
        if (!best.ok) {
            std::fprintf(stderr, "%s: nothing was read\n", path.c_str());
            ++failures;
            continue;
        }
        const uint32_t rate = best.info.SampleRate ? best.info.SampleRate : 44100;
        const uint32_t channels = best.info.Channels ? best.info.Channels : 2;
        const double audio = static_cast<double>(best.bytes) / (static_cast<double>(rate) * channels * 2);
        const double steady = static_cast<double>(std::max<uint64_t>(best.steadyBlocks, 1));
        std::fprintf(stderr,
            "%s: %u Hz, %u ch, %u kbit/s, %u ms described; %.3f s of audio in %llu blocks, "
            "%.3f CPU s (best of %d); steady state (%llu blocks): %.3f operator new per block, "
            "%.3f C allocator calls per block (%llu / %llu)\n",
            path.c_str(), best.info.SampleRate, best.info.Channels, best.info.Bitrate, best.info.DurationMs, audio,
            static_cast<unsigned long long>(best.blocks), best.cpu, Runs,
            static_cast<unsigned long long>(best.steadyBlocks), static_cast<double>(best.steadyNew) / steady,
            static_cast<double>(best.steadyC) / steady, static_cast<unsigned long long>(best.steadyNew),
            static_cast<unsigned long long>(best.steadyC));
        std::printf("%s %.2f\n", path.c_str(), audio / std::max(best.cpu, 1e-6));
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
