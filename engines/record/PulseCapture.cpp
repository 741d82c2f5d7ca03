#include "PulseCapture.h"

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

bool PulseCapture::Open(int rate, int channels, SampleRing* ring, std::string& error)
{
    ring_ = ring;
    rate_ = rate;
    frameBytes_ = 2u * static_cast<size_t>(channels);
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, static_cast<uint32_t>(rate), static_cast<uint8_t>(channels)};
    if (!pa_sample_spec_valid(&sampleFormat)) {
        error = "the sound server cannot record this format";
        return false;
    }
    if (!connection_.Open("production", error))
        return false;
    pa_threaded_mainloop* mainloop = connection_.Loop();
    pa_threaded_mainloop_lock(mainloop);
    const bool ready = connection_.ConnectStream(stream_, sampleFormat, [this, rate](pa_stream* stream) {
        pa_stream_set_read_callback(stream, &PulseCapture::StreamRead, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = BytesOfMs(ServerBufferMs, rate, frameBytes_);
        attributes.fragsize = BytesOfMs(FragmentMs, rate, frameBytes_);
        attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<uint32_t>(-1);
        // Corked until Start; the source's latency follows our fragment.
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        return pa_stream_connect_record(stream, nullptr, &attributes, flags);
    }, error);
    if (!ready)
        error = "the sound server did not open the input: " + error;
    pa_threaded_mainloop_unlock(mainloop);
    if (!ready)
        Close();
    return ready;
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
    if (!connection_.IsOpen())
        return;
    const int64_t stopNs = MonotonicNs();
    pa_threaded_mainloop_lock(connection_.Loop());
    if (stream_) {
        if (clock_.Running())
            AwaitTheLastSound(stopNs);
        pa_stream_set_read_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
        lostFrames_ = holeFrames_ + clock_.ShortfallAt(rate_, stopNs);
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
