#include "PulseConnection.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace platform {
namespace {
constexpr auto ConnectDeadline = std::chrono::seconds(5);
} // namespace

bool SoundServerWanted()
{
    const char* sdlDriver = std::getenv("SDL_AUDIODRIVER");
    return !sdlDriver || !*sdlDriver;
}

PulseConnection::~PulseConnection()
{
    Close();
}

bool PulseConnection::Open(const char* mediaRole, std::string& error)
{
    mainloop_ = pa_threaded_mainloop_new();
    if (!mainloop_) {
        error = "no main loop for the sound server";
        return false;
    }
    properties_ = pa_proplist_new();
    // The desktop's sound settings list our streams under this name and role.
    pa_proplist_sets(properties_, PA_PROP_APPLICATION_NAME, "Kestrune");
    pa_proplist_sets(properties_, PA_PROP_APPLICATION_ID, "kestrune");
    pa_proplist_sets(properties_, PA_PROP_MEDIA_ROLE, mediaRole);
    context_ = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(mainloop_), "Kestrune", properties_);
    bool ready = false;
    if (context_ && pa_threaded_mainloop_start(mainloop_) == 0) {
        pa_threaded_mainloop_lock(mainloop_);
        // Never start a server of our own: with none running, SDL's other drivers take over.
        ready = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0
            && WaitUntil([this] {
                   const pa_context_state_t s = pa_context_get_state(context_);
                   return s == PA_CONTEXT_READY ? 1 : PA_CONTEXT_IS_GOOD(s) ? 0 : -1;
               });
        if (!ready)
            error = "no connection to the sound server: " + LastError();
        pa_threaded_mainloop_unlock(mainloop_);
    } else {
        error = "no connection to the sound server";
    }
    if (!ready)
        Close();
    return ready;
}

void PulseConnection::Close()
{
    if (!mainloop_)
        return;
    if (context_) {
        pa_threaded_mainloop_lock(mainloop_);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
        pa_threaded_mainloop_unlock(mainloop_);
    }
    pa_threaded_mainloop_stop(mainloop_);
    pa_threaded_mainloop_free(mainloop_);
    mainloop_ = nullptr;
    if (properties_) {
        pa_proplist_free(properties_);
        properties_ = nullptr;
    }
}

std::string PulseConnection::LastError() const
{
    return context_ ? pa_strerror(pa_context_errno(context_)) : "no connection";
}

bool PulseConnection::ConnectStream(pa_stream*& stream, const pa_sample_spec& sampleFormat,
    const std::function<int(pa_stream*)>& connect, std::string& error)
{
    pa_channel_map map;
    pa_channel_map_init_auto(&map, sampleFormat.channels, PA_CHANNEL_MAP_DEFAULT);
    stream = pa_stream_new_with_proplist(context_, "Kestrune", &sampleFormat, &map, properties_);
    const bool ready = stream && connect(stream) == 0 && WaitUntil([stream] {
        const pa_stream_state_t s = pa_stream_get_state(stream);
        return s == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(s) ? 0 : -1;
    });
    if (!ready)
        error = LastError();
    return ready;
}

bool PulseConnection::WaitUntil(const std::function<int()>& state)
{
    const auto deadline = std::chrono::steady_clock::now() + ConnectDeadline;
    for (;;) {
        const int now = state();
        if (now != 0)
            return now > 0;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pa_threaded_mainloop_unlock(mainloop_);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(mainloop_);
    }
}

} // namespace platform
