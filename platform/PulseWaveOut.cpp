#include "PulseWaveOut.h"

#include <algorithm>
#include <pulse/rtclock.h>

namespace platform {
namespace {
// The played position is asked for when the server should have read to the end of a queued
// buffer (a little after, so that one answer usually settles it): each question is a round
// trip to the server, which wakes both of us. Short buffers are waited for together, so that
// the questions, the returned buffers and the window's repaints come about every GapUsec
// rather than every few milliseconds; the program keeps far more than that queued.
constexpr pa_usec_t TickUsec = 10 * PA_USEC_PER_MSEC;
constexpr pa_usec_t SlackUsec = 10 * PA_USEC_PER_MSEC;
constexpr pa_usec_t GapUsec = 80 * PA_USEC_PER_MSEC;
// With nothing queued the timer only watches for a server that has gone.
constexpr pa_usec_t IdleUsec = 100 * PA_USEC_PER_MSEC;
// The server's queue for us holds twice what the program queues (16 buffers of 8192 bytes),
// so every written buffer goes in at once; the rest waits in our queue for its room.
constexpr uint32_t ServerQueueBytes = 2 * 16 * 8192;
// The server asks for more in pieces of this length, and with early requests the sink renders
// this far ahead of what is heard: a Reset falls silent within about this time, and the
// server's period stays long enough for a busy machine to keep it.
constexpr uint32_t RequestMs = 40;
// A server may stop reading when less than one of its periods is left, and leave the rest
// until more comes (pipewire-pulse does, with periods of up to about 46 ms): so once every
// queued byte is in the stream and less than this much is left to read, silence goes in behind
// it. Only the end of a playback comes so near; the program keeps about 0.4 s or more queued.
constexpr uint32_t DryMs = 100;
} // namespace

PulseWaveOut::~PulseWaveOut()
{
    Close();
}

uint32_t PulseWaveOut::Playable(const WaveHeader* header) const
{
    return header->BufferLength - header->BufferLength % frameBytes_;
}

bool PulseWaveOut::Open(const WaveFormat& format, WaveDoneNotice notice, std::string& error)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16NE, format.SamplesPerSec, static_cast<uint8_t>(format.Channels)};
    if (!pa_sample_spec_valid(&sampleFormat)) {
        error = "the sound server cannot play this format";
        return false;
    }
    frameBytes_ = static_cast<uint32_t>(pa_frame_size(&sampleFormat));
    silence_.assign(pa_usec_to_bytes(DryMs * PA_USEC_PER_MSEC, &sampleFormat), 0);
    notice_ = std::move(notice);
    if (!connection_.Open("music", error))
        return false;
    pa_threaded_mainloop* mainloop = connection_.Loop();
    pa_threaded_mainloop_lock(mainloop);
    bool ready = connection_.ConnectStream(stream_, sampleFormat, [this, &sampleFormat](pa_stream* stream) {
        pa_stream_set_write_callback(stream, &PulseWaveOut::StreamWritable, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = ServerQueueBytes - ServerQueueBytes % frameBytes_;
        // Playing starts with the first frame written, and starts again with the next after
        // the server has run dry, however short the last buffers are.
        attributes.prebuf = frameBytes_;
        attributes.minreq = static_cast<uint32_t>(pa_usec_to_bytes(RequestMs * PA_USEC_PER_MSEC, &sampleFormat));
        attributes.fragsize = static_cast<uint32_t>(-1);
        // Early requests keep the sink's latency at one request instead of most of tlength.
        return pa_stream_connect_playback(stream, nullptr, &attributes, PA_STREAM_EARLY_REQUESTS, nullptr, nullptr);
    }, error);
    if (ready) {
        timer_ = pa_context_rttime_new(connection_.Context(), pa_rtclock_now() + TickUsec, &PulseWaveOut::Tick, this);
        ready = timer_ != nullptr;
    }
    if (!ready)
        error = "the sound server did not open the output: " + error;
    pa_threaded_mainloop_unlock(mainloop);
    if (!ready)
        Close();
    return ready;
}

void PulseWaveOut::Write(WaveHeader* header)
{
    if (!stream_)
        return;
    pa_threaded_mainloop_lock(connection_.Loop());
    if (queue_.Empty())
        CheckIn(TickUsec);
    queue_.Push(header);
    if (!unsent_) {
        unsent_ = header;
        unsentTaken_ = 0;
    }
    Feed();
    pa_threaded_mainloop_unlock(connection_.Loop());
}

void PulseWaveOut::Reset()
{
    if (!stream_)
        return;
    pa_threaded_mainloop_lock(connection_.Loop());
    // The server drops what it holds of ours at once; the sink plays out what it has rendered.
    if (pa_operation* flush = pa_stream_flush(stream_, nullptr, nullptr))
        pa_operation_unref(flush);
    unsent_ = nullptr;
    unsentTaken_ = 0;
    ends_.clear();
    queue_.HandBackAll(this, notice_);
    // The flush moved the server's write index back to its read index: buffers written from
    // now on are counted from there. The server answers in order, so this update sees it.
    if (pa_operation* update = pa_stream_update_timing_info(stream_, nullptr, nullptr)) {
        connection_.WaitUntil([update] { return pa_operation_get_state(update) == PA_OPERATION_RUNNING ? 0 : 1; });
        pa_operation_unref(update);
    }
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (timing && !timing->write_index_corrupt)
        written_ = timing->write_index;
    pa_threaded_mainloop_unlock(connection_.Loop());
}

void PulseWaveOut::Close()
{
    if (!connection_.IsOpen())
        return;
    pa_threaded_mainloop* mainloop = connection_.Loop();
    pa_threaded_mainloop_lock(mainloop);
    if (timer_) {
        pa_threaded_mainloop_get_api(mainloop)->time_free(timer_);
        timer_ = nullptr;
    }
    if (stream_) {
        // Disconnecting drops what the server holds and cancels our pending timing update.
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    unsent_ = nullptr;
    ends_.clear();
    queue_.HandBackAll(this, notice_);
    notice_ = nullptr;
    pa_threaded_mainloop_unlock(mainloop);
    connection_.Close();
}

void PulseWaveOut::Feed()
{
    while (unsent_) {
        const uint32_t length = Playable(unsent_);
        if (unsentTaken_ < length) {
            size_t room = pa_stream_writable_size(stream_);
            if (room == static_cast<size_t>(-1))
                return;
            room -= room % frameBytes_;
            const size_t count = std::min<size_t>(room, length - unsentTaken_);
            // pa_stream_write copies: the caller may refill the buffer once it is back.
            if (count == 0
                || pa_stream_write(stream_, unsent_->Data + unsentTaken_, count, nullptr, 0, PA_SEEK_RELATIVE) != 0)
                return;
            unsentTaken_ += static_cast<uint32_t>(count);
            written_ += static_cast<int64_t>(count);
            if (unsentTaken_ < length)
                return;
        }
        ends_.push_back(written_);
        unsent_ = WaveQueue::After(unsent_);
        unsentTaken_ = 0;
    }
}

void PulseWaveOut::HandBackPlayed()
{
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (!timing || timing->read_index_corrupt)
        return;
    const int64_t read = timing->read_index;
    while (!ends_.empty() && ends_.front() <= read) {
        ends_.pop_front();
        queue_.HandBackFront(this, notice_);
    }
    // Silence up to DryMs behind our last byte, so that the server reads all of it.
    const int64_t missing = static_cast<int64_t>(silence_.size()) - (written_ - read);
    if (unsent_ || ends_.empty() || missing <= 0)
        return;
    const size_t count = static_cast<size_t>(missing) - static_cast<size_t>(missing) % frameBytes_;
    if (count > 0 && pa_stream_writable_size(stream_) >= count
        && pa_stream_write(stream_, silence_.data(), count, nullptr, 0, PA_SEEK_RELATIVE) == 0)
        written_ += static_cast<int64_t>(count);
}

void PulseWaveOut::StreamWritable(pa_stream*, size_t, void* self)
{
    static_cast<PulseWaveOut*>(self)->Feed();
}

void PulseWaveOut::Tick(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self)
{
    auto* output = static_cast<PulseWaveOut*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(output->stream_))) {
        // The server has gone: nothing queued will play, and the program waits for it all.
        output->gone_.store(true);
        output->unsent_ = nullptr;
        output->ends_.clear();
        output->queue_.HandBackAll(output, output->notice_);
    } else if (!output->queue_.Empty() && !output->updating_) {
        if (pa_operation* update = pa_stream_update_timing_info(output->stream_, &PulseWaveOut::TimingUpdated, output)) {
            output->updating_ = true;
            pa_operation_unref(update);
        }
    }
    // The answer sets the next check; this one stands in case none comes.
    output->CheckIn(IdleUsec);
}

void PulseWaveOut::TimingUpdated(pa_stream*, int success, void* self)
{
    auto* output = static_cast<PulseWaveOut*>(self);
    output->updating_ = false;
    if (!success || !output->stream_)
        return;
    output->HandBackPlayed();
    output->CheckIn(output->queue_.Empty() ? IdleUsec : output->UntilNextEnd());
}

pa_usec_t PulseWaveOut::UntilNextEnd() const
{
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (!timing || timing->read_index_corrupt || ends_.empty())
        return TickUsec;
    const int64_t read = timing->read_index;
    // The first buffer end at least GapUsec away, or the last one written.
    const int64_t gap = static_cast<int64_t>(pa_usec_to_bytes(GapUsec, pa_stream_get_sample_spec(stream_)));
    int64_t ahead = ends_.back() - read;
    for (const int64_t end : ends_) {
        if (end - read >= gap) {
            ahead = end - read;
            break;
        }
    }
    // Once all is in the stream, the padding is due when less than DryMs is left to read.
    if (!unsent_)
        ahead = std::min(ahead, written_ - read - static_cast<int64_t>(silence_.size()));
    const pa_usec_t toRead = ahead > 0 ? pa_bytes_to_usec(static_cast<uint64_t>(ahead), pa_stream_get_sample_spec(stream_)) : 0;
    // The server's read index moves on in real time from the moment of the answer.
    const pa_usec_t age = pa_timeval_age(&timing->timestamp);
    const pa_usec_t wait = toRead > age ? toRead - age + SlackUsec : 0;
    return std::clamp(wait, TickUsec, IdleUsec);
}

void PulseWaveOut::CheckIn(pa_usec_t wait)
{
    if (timer_)
        pa_context_rttime_restart(connection_.Context(), timer_, pa_rtclock_now() + wait);
}

} // namespace platform
