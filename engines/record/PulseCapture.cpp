#include "PulseCapture.h"

#include "platform/SoundInputs.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace record {
namespace {
// About 40 ms a fragment: the levels still move 25 times a second, and every thread that
// handles a fragment (the server's, the writer, the window) wakes half as often as at 20 ms.
// A late wake-up costs nothing: the server holds seconds for us.
constexpr int FragmentMs = 40;
// The server keeps up to this much for us while our thread is held up (a loaded machine, a
// swapping disk) before it must drop sound; our own ring holds more behind it.
constexpr int ServerBufferMs = 2000;
// At the stop, how long the sound of the recording's last moments may still take to arrive.
constexpr auto DrainDeadline = std::chrono::milliseconds(ServerBufferMs);

uint32_t BytesOfMs(int ms, int rate, size_t frameBytes)
{
    return static_cast<uint32_t>(static_cast<uint64_t>(rate) * static_cast<uint64_t>(ms) / 1000u * frameBytes);
}
} // namespace

PulseCapture::~PulseCapture()
{
    Close();
}

bool PulseCapture::Open(int rate, int channels, const std::string& source, SampleRing* ring, std::string& error)
{
    ring_ = ring;
    source_ = source;
    rate_ = rate;
    channels_ = channels;
    frameBytes_ = 2u * static_cast<size_t>(channels);
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, static_cast<uint32_t>(rate), static_cast<uint8_t>(channels)};
    if (!pa_sample_spec_valid(&sampleFormat)) {
        error = "the sound server cannot record this format";
        return false;
    }
    if (!connection_.Open("production", error))
        return false;
    pa_threaded_mainloop_lock(connection_.Loop());
    const bool ready = ConnectStream(true, error);
    if (!ready)
        error = "the sound server did not open the input: " + error;
    pa_threaded_mainloop_unlock(connection_.Loop());
    if (!ready)
        Close();
    return ready;
}

std::string PulseCapture::SourceToUse()
{
    if (source_.empty())
        return source_;
    // Asked first, so that a missing source is told apart from a server that fails. A server
    // that does not list its sources is left to refuse the stream itself.
    platform::SoundInputList inputs;
    if (!platform::ReadSoundInputs(connection_, inputs))
        return source_;
    for (const platform::SoundInput& input : inputs.Inputs)
        if (input.Name == source_)
            return source_;
    inputMissing_ = true;
    return {};
}

bool PulseCapture::ConnectStream(bool corked, std::string& error)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, static_cast<uint32_t>(rate_), static_cast<uint8_t>(channels_)};
    const std::string source = SourceToUse();
    return connection_.ConnectStream(stream_, sampleFormat, [this, corked, &source](pa_stream* stream) {
        pa_stream_set_read_callback(stream, &PulseCapture::StreamRead, this);
        pa_stream_set_state_callback(stream, &PulseCapture::StreamState, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = BytesOfMs(ServerBufferMs, rate_, frameBytes_);
        attributes.fragsize = BytesOfMs(FragmentMs, rate_, frameBytes_);
        attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<uint32_t>(-1);
        // Corked until Start; the source's latency follows our fragment.
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | (corked ? PA_STREAM_START_CORKED : PA_STREAM_NOFLAGS));
        return pa_stream_connect_record(stream, source.empty() ? nullptr : source.c_str(), &attributes, flags);
    }, error);
}

void PulseCapture::Start()
{
    if (!stream_)
        return;
    pa_threaded_mainloop_lock(connection_.Loop());
    clock_.Started();
    if (pa_operation* op = pa_stream_cork(stream_, 0, nullptr, nullptr))
        pa_operation_unref(op);
    pa_threaded_mainloop_unlock(connection_.Loop());
    watcher_ = std::thread([this] { Watch(); });
}

void PulseCapture::StreamState(pa_stream* stream, void* self)
{
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED)
        return;
    auto* capture = static_cast<PulseCapture*>(self);
    capture->failed_.store(true);
    capture->watchWake_.notify_all();
}

void PulseCapture::Watch()
{
    std::unique_lock lock(watchMutex_);
    while (!closing_) {
        if (lostSinceNs_ < 0) {
            watchWake_.wait(lock, [this] { return closing_ || failed_.load(); });
            if (closing_)
                break;
            lock.unlock();
            DropConnection();
            if (InputReport)
                InputReport(false);
            lock.lock();
            continue;
        }
        lock.unlock();
        const bool back = Reconnect();
        if (back && InputReport)
            InputReport(true);
        lock.lock();
        if (!back)
            watchWake_.wait_for(lock, std::chrono::milliseconds(500), [this] { return closing_; });
    }
}

void PulseCapture::ReleaseStream()
{
    if (!stream_)
        return;
    pa_stream_set_read_callback(stream_, nullptr, nullptr);
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

void PulseCapture::DropConnection()
{
    const int64_t now = MonotonicNs();
    pa_threaded_mainloop_lock(connection_.Loop());
    ReleaseStream();
    // What the stream had not delivered of the time it ran, and the gaps it had.
    lostFrames_ += holeFrames_ + clock_.ShortfallAt(rate_, now);
    holeFrames_ = 0;
    pa_threaded_mainloop_unlock(connection_.Loop());
    connection_.Close();
    lostSinceNs_ = now;
}

bool PulseCapture::Reconnect()
{
    std::string error;
    if (!connection_.Open("production", error))
        return false;
    pa_threaded_mainloop_lock(connection_.Loop());
    failed_.store(false);
    const int64_t resumedNs = MonotonicNs();
    clock_ = DeliveryClock{};
    clock_.Started();
    const bool ready = ConnectStream(false, error);
    if (!ready)
        ReleaseStream();
    pa_threaded_mainloop_unlock(connection_.Loop());
    if (!ready) {
        connection_.Close();
        return false;
    }
    // The time without a server is sound the file does not have.
    lostFrames_ += FramesIn(resumedNs - lostSinceNs_, rate_);
    lostSinceNs_ = -1;
    return true;
}

void PulseCapture::AwaitTheLastSound(int64_t stopNs)
{
    // A source hands over what it captured some time later: a microphone a fragment later,
    // the monitor of an output that renders ahead up to that output's latency later (and
    // nothing at all for that long after we join it, while the output catches up with the
    // lower latency we ask for). The recording ran from the start to stopNs and holds that
    // much, so what is still on its way is waited for, within the server's buffer time.
    const uint64_t due = clock_.DueFrames(rate_, stopNs);
    // What arrives from now on is kept up to the stop's frame exactly, not a fragment past it.
    keepUpTo_ = due;
    const auto deadline = std::chrono::steady_clock::now() + DrainDeadline;
    while (clock_.DeliveredFrames() < due && std::chrono::steady_clock::now() < deadline
        && pa_stream_get_state(stream_) == PA_STREAM_READY) {
        pa_threaded_mainloop_unlock(connection_.Loop());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pa_threaded_mainloop_lock(connection_.Loop());
    }
}

void PulseCapture::Close()
{
    if (watcher_.joinable()) {
        {
            std::lock_guard lock(watchMutex_);
            closing_ = true;
        }
        watchWake_.notify_all();
        watcher_.join();
    }
    const int64_t stopNs = MonotonicNs();
    if (lostSinceNs_ >= 0) {
        // Stopped while waiting for the server: the wait is lost sound too.
        lostFrames_ += FramesIn(stopNs - lostSinceNs_, rate_);
        lostSinceNs_ = -1;
    }
    if (!connection_.IsOpen())
        return;
    pa_threaded_mainloop_lock(connection_.Loop());
    if (stream_) {
        if (clock_.Running())
            AwaitTheLastSound(stopNs);
        ReleaseStream();
        lostFrames_ += holeFrames_ + clock_.ShortfallAt(rate_, stopNs);
    }
    pa_threaded_mainloop_unlock(connection_.Loop());
    connection_.Close();
}

// libpulse tells a record stream of no overflow (its notice is for playback): sound the server
// had to drop for want of room shows up as time the stream did not deliver, which the clock
// check at the stop counts.
void PulseCapture::StreamRead(pa_stream* stream, size_t, void* self)
{
    auto* capture = static_cast<PulseCapture*>(self);
    const void* data = nullptr;
    size_t length = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &length) < 0 || length == 0)
            return;
        uint64_t frames = length / capture->frameBytes_;
        const uint64_t delivered = capture->clock_.DeliveredFrames();
        if (delivered >= capture->keepUpTo_) {
            pa_stream_drop(stream);
            continue;
        }
        frames = std::min(frames, capture->keepUpTo_ - delivered);
        if (data) {
            capture->ring_->Write(static_cast<const uint8_t*>(data), frames * capture->frameBytes_);
        } else {
            // A hole in the read index: the server skipped this much sound.
            capture->holeFrames_ += frames;
        }
        capture->clock_.Delivered(frames);
        pa_stream_drop(stream);
    }
}

} // namespace record
