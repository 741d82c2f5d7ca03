#include "InputLevelWatch.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

// One peak stream: the server computes the peak of each 40 ms and sends it as one float.
struct PeakStream {
    pa_stream* stream = nullptr;
    std::atomic<float> peak{0.0f};
};

class ServerLevelWatch : public InputLevelWatch {
public:
    ServerLevelWatch()
    {
        std::string error;
        if (SoundServerWanted())
            connection_.Open("production", error);
    }

    ~ServerLevelWatch() override
    {
        Release();
        connection_.Close();
    }

    bool List(SoundInputList& list) override
    {
        if (!connection_.IsOpen())
            return false;
        pa_threaded_mainloop_lock(connection_.Loop());
        const bool read = ReadSoundInputs(connection_, list);
        pa_threaded_mainloop_unlock(connection_.Loop());
        return read;
    }

    void Watch(const std::vector<std::string>& sources) override
    {
        Release();
        streams_ = std::vector<std::unique_ptr<PeakStream>>(sources.size());
        for (auto& peak : streams_)
            peak = std::make_unique<PeakStream>();
        if (!connection_.IsOpen())
            return;
        pa_threaded_mainloop_lock(connection_.Loop());
        for (size_t i = 0; i < sources.size(); ++i)
            Connect(*streams_[i], sources[i]);
        pa_threaded_mainloop_unlock(connection_.Loop());
    }

    std::vector<float> Peaks() override
    {
        std::vector<float> peaks;
        peaks.reserve(streams_.size());
        for (const auto& peak : streams_)
            peaks.push_back(peak->peak.load(std::memory_order_relaxed));
        return peaks;
    }

private:
    // With the loop locked. Does not wait for the stream: a page of ten inputs opens at once.
    void Connect(PeakStream& peak, const std::string& source)
    {
        const pa_sample_spec peakFormat{PA_SAMPLE_FLOAT32NE, 25, 1}; // one float per 40 ms
        pa_channel_map map;
        pa_channel_map_init_mono(&map);
        peak.stream = pa_stream_new(connection_.Context(), "Kestrune level", &peakFormat, &map);
        if (!peak.stream)
            return;
        pa_stream_set_read_callback(peak.stream, &ServerLevelWatch::Read, &peak);
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.fragsize = sizeof(float);
        attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<uint32_t>(-1);
        // The server keeps the stream on this source and sends its peaks only, not its sound.
        // The stream wakes a suspended microphone: a sleeping input would look silent.
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY
            | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(peak.stream, source.empty() ? nullptr : source.c_str(), &attributes, flags) < 0) {
            pa_stream_unref(peak.stream);
            peak.stream = nullptr;
        }
    }

    // On the loop's thread: keeps the last peak of what arrived; must not block.
    static void Read(pa_stream* stream, size_t, void* self)
    {
        auto* peak = static_cast<PeakStream*>(self);
        const void* data = nullptr;
        size_t length = 0;
        while (pa_stream_readable_size(stream) > 0) {
            if (pa_stream_peek(stream, &data, &length) < 0 || length == 0)
                return;
            if (data && length >= sizeof(float)) {
                float last = 0;
                std::memcpy(&last, static_cast<const char*>(data) + (length / sizeof(float) - 1) * sizeof(float),
                    sizeof(float));
                peak->peak.store(std::isfinite(last) ? std::fabs(last) : 0.0f, std::memory_order_relaxed);
            }
            pa_stream_drop(stream);
        }
    }

    void Release()
    {
        if (!connection_.IsOpen()) {
            streams_.clear();
            return;
        }
        pa_threaded_mainloop_lock(connection_.Loop());
        for (auto& peak : streams_) {
            if (!peak->stream)
                continue;
            pa_stream_set_read_callback(peak->stream, nullptr, nullptr);
            pa_stream_disconnect(peak->stream);
            pa_stream_unref(peak->stream);
            peak->stream = nullptr;
        }
        pa_threaded_mainloop_unlock(connection_.Loop());
        streams_.clear();
    }

    PulseConnection connection_;
    std::vector<std::unique_ptr<PeakStream>> streams_;
};

} // namespace

std::unique_ptr<InputLevelWatch> OpenServerLevelWatch()
{
    return std::make_unique<ServerLevelWatch>();
}

} // namespace platform
