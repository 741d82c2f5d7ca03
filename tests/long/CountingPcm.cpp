// Writes 16-bit stereo frames that count: frame n holds n's low 16 bits on the left and its
// high 16 bits on the right, so any frame of a recording says where in the stream it was.
// The frames go out as fast as the reader takes them until SIGUSR1, then at 44100 a second.
//
// Usage: counting_pcm > fifo
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
volatile std::sig_atomic_t paced = 0;
}

int main()
{
    std::signal(SIGUSR1, [](int) { paced = 1; });
    fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20); // fewer wake-ups of the reader
    constexpr uint64_t Block = 4410; // a tenth of a second
    std::vector<uint16_t> frames(2 * Block);
    auto next = std::chrono::steady_clock::now();
    for (uint64_t n = 0;; n += Block) {
        for (uint64_t i = 0; i < Block; ++i) {
            frames[2 * i] = static_cast<uint16_t>(n + i);
            frames[2 * i + 1] = static_cast<uint16_t>((n + i) >> 16);
        }
        const auto* bytes = reinterpret_cast<const char*>(frames.data());
        for (size_t done = 0; done < 4 * Block;) {
            const ssize_t wrote = write(STDOUT_FILENO, bytes + done, 4 * Block - done);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return 0; // the reader went away
            done += static_cast<size_t>(wrote);
        }
        if (paced) {
            next += std::chrono::milliseconds(100);
            std::this_thread::sleep_until(next);
        } else {
            next = std::chrono::steady_clock::now();
        }
    }
}
