#pragma once
// While alive, no file of this process may grow past `bytes`: writes beyond fail with EFBIG
// (SIGXFSZ ignored). Makes a write fail on purpose even for root, whom read-only folders
// do not stop.
#include <csignal>
#include <sys/resource.h>

namespace fakes {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace fakes
