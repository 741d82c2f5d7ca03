#pragma once
// One connection to the sound server through libpulse, shared by capture and wave output: a
// threaded main loop and a context that is ready, with the properties under which the
// desktop's sound settings list our streams. Never starts a server. Plain C++: no Qt.
//
// Threads: Open, NewStream, WaitUntil and Close are called on the owner's thread; the loop's
// own thread runs every libpulse callback with the loop locked. Between Open and Close the
// owner locks the loop (pa_threaded_mainloop_lock on Loop()) around every libpulse call.
#include <functional>
#include <pulse/pulseaudio.h>
#include <string>

namespace platform {

// True unless SDL_AUDIODRIVER names a driver: then SDL and that driver are wanted instead of
// the server (the tests pick SDL's disk driver so).
bool SoundServerWanted();

class PulseConnection {
public:
    PulseConnection() = default;
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Starts the loop and connects, within a few seconds. mediaRole tells the server what our
    // streams are for ("production" for a recorder's input, "music" for playback). False with
    // error when no server answers; everything is released then.
    bool Open(const char* mediaRole, std::string& error);
    // Disconnects and stops the loop's thread; the owner's streams must be released before.
    // Called without the loop locked. Twice is harmless.
    void Close();

    bool IsOpen() const { return mainloop_ != nullptr; }
    pa_threaded_mainloop* Loop() const { return mainloop_; }
    pa_context* Context() const { return context_; }
    // The server's reason for the last failure.
    std::string LastError() const;

    // With the loop locked: makes stream a stream named "Kestrune" with our properties and
    // the default channel map for sampleFormat's channel count, lets connect set its callbacks and
    // connect it (answering pa_stream_connect_…'s result), and waits until it is ready. False
    // with the server's reason in error when it is not; stream is then left for the owner to
    // release (null when it was never made).
    bool ConnectStream(pa_stream*& stream, const pa_sample_spec& sampleFormat, const std::function<int(pa_stream*)>& connect,
        std::string& error);
    // With the loop locked: waits until state() answers 1 (ready) or -1 (failed), at most a
    // few seconds, so a server that hangs cannot hang the caller; true when ready. The loop
    // is unlocked while waiting, so its callbacks run meanwhile.
    bool WaitUntil(const std::function<int()>& state);

private:
    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_proplist* properties_ = nullptr;
};

} // namespace platform
