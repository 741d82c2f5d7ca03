#pragma once
// Keeps the machine awake while a recording writes: a "sleep" inhibitor lock of logind (the
// system bus's org.freedesktop.login1), mode "block", held as the file descriptor logind hands
// out and released by closing it. No idle lock: the screen may still lock and blank. Where
// logind does not answer (no system bus, another init) nothing is held and nothing is said.
// Window thread only.
#include <QDBusUnixFileDescriptor>
#include <string>

namespace platform {

class SleepInhibitor {
public:
    SleepInhibitor() = default;
    ~SleepInhibitor() { Release(); }
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    // Takes the lock, saying why ("Recording take.wav"); already held: kept as it is.
    void Hold(const std::string& why);
    void Release();
    bool Held() const { return lock_.isValid(); }

private:
    QDBusUnixFileDescriptor lock_;
};

} // namespace platform
