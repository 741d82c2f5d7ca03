// The library's entry points: one recording at a time, calls out of order ignored.
#include "RecordApi.h"

#include "Mp3Sink.h"
#include "Recorder.h"
#include "StartCheck.h"
#include "WavSink.h"
#include "WmaSink.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>
#include <vector>

namespace {
std::mutex apiMutex; // the entry points may come from any thread, one at a time
std::unique_ptr<record::Recorder> current;
bool paused = false;

// The sound the last finished recording lost, in milliseconds.
uint32_t lastLossMs = 0;
// Why the last start was refused or the last recording's file stopped growing.
std::string lastError;
// The source the next start records from; "" the default.
std::string input;
// The last recording records the default input instead of the one asked for.
bool lastInputMissing = false;

std::atomic<LevelReport> levelReport{nullptr};
std::atomic<void*> levelContext{nullptr};

std::atomic<RecordEventReport> eventReport{nullptr};
std::atomic<void*> eventContext{nullptr};

void ReportLevels(record::BlockLevels levels)
{
    if (const LevelReport report = levelReport.load())
        report(levelContext.load(), levels.left, levels.right);
}

void ReportEvent(int32_t event)
{
    if (const RecordEventReport report = eventReport.load())
        report(eventContext.load(), event);
}

std::string WriteErrorText(int error)
{
    return error != 0 ? std::strerror(error) : std::string();
}

std::unique_ptr<record::AudioSink> MakeSink(const StartRecordParams& p, const std::string& path, bool append, int32_t startMs)
{
    switch (p.Format) {
    case 0: return std::make_unique<record::WavSink>(path, p.SampleRate, p.Channels, append, startMs);
    case 1: return std::make_unique<record::Mp3Sink>(path, p.SampleRate, p.Channels, p.Bitrate, append, startMs);
    default: return std::make_unique<record::WmaSink>(path, p.SampleRate, p.Channels, p.Bitrate);
    }
}
} // namespace

extern "C" {

uint8_t StartRecord(const StartRecordParams* params, const char* path, int32_t append, int32_t startMs,
    uint32_t /*existingLengthMs: the engine reads the file itself*/)
{
    // Nothing may cross into the caller: whatever goes wrong (no memory for an absurd ring,
    // a thread that cannot start) is a refusal like any other.
    try {
        std::lock_guard lock(apiMutex);
        if (current) {
            lastError = "a recording is running";
            return 0;
        }
        if (!params || !path) {
            lastError = "no format or no file name";
            return 0;
        }
        std::string error;
        if (!record::CheckStart(*params, path, append != 0, error)) {
            lastError = error;
            return 0;
        }
        auto recorder = std::make_unique<record::Recorder>(MakeSink(*params, path, append != 0, startMs),
            params->BufferSize, params->BufferNumber, &ReportLevels, &ReportEvent, input);
        if (!recorder->Start(error)) {
            lastError = error.empty() ? "the recording could not start" : error;
            return 0;
        }
        current = std::move(recorder);
        paused = false;
        lastLossMs = 0;
        lastError.clear();
        lastInputMissing = false;
        return 1;
    } catch (const std::exception& e) {
        lastError = e.what();
        return 0;
    } catch (...) {
        lastError = "the recording could not start";
        return 0;
    }
}

void PauseRecord()
{
    try {
        std::lock_guard lock(apiMutex);
        if (current && !paused) {
            current->Pause();
            paused = true;
        }
    } catch (...) {
    }
}

void ResumeRecord()
{
    try {
        std::lock_guard lock(apiMutex);
        if (current && paused) {
            current->Resume();
            paused = false;
        }
    } catch (...) {
    }
}

void StopRecord()
{
    try {
        std::lock_guard lock(apiMutex);
        if (!current)
            return;
        current->Stop();
        const uint64_t rate = static_cast<uint64_t>(std::max(current->Rate(), 1));
        const uint64_t ms = (current->LostFrames() * 1000 + rate / 2) / rate;
        lastLossMs = static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX));
        lastError = WriteErrorText(current->WriteError());
        lastInputMissing = current->InputMissing();
        current.reset();
        paused = false;
    } catch (...) {
    }
}

const char* RecordLastError()
{
    try {
        std::lock_guard lock(apiMutex);
        if (current)
            lastError = WriteErrorText(current->WriteError());
        return lastError.c_str();
    } catch (...) {
        return "";
    }
}

void SetRecordInput(const char* source)
{
    try {
        std::lock_guard lock(apiMutex);
        input = source ? source : "";
    } catch (...) {
    }
}

uint8_t RecordInputMissing()
{
    try {
        std::lock_guard lock(apiMutex);
        return (current ? current->InputMissing() : lastInputMissing) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

uint32_t RecordLossMs()
{
    try {
        std::lock_guard lock(apiMutex);
        return lastLossMs;
    } catch (...) {
        return 0;
    }
}

void EnumWMAFormat(WmaFormatCallback callback)
try {
    struct Format { int32_t bitrate, channels, rate; };
    // Found once: opening the encoder for the whole grid takes a moment.
    static const std::vector<Format> formats = [] {
        // The encoder says why it refuses each format it does not take; nobody needs to read that.
        const int logLevel = av_log_get_level();
        av_log_set_level(AV_LOG_QUIET);
        std::vector<Format> found;
        for (int rate : {8000, 11025, 16000, 22050, 32000, 44100, 48000})
            for (int channels : {1, 2})
                for (int kbps : {8, 12, 16, 20, 24, 32, 40, 48, 64, 80, 96, 128, 160, 192, 256, 320})
                    if (record::WmaEncoderAccepts(rate, channels, int64_t{kbps} * 1000))
                        found.push_back({kbps * 1000, channels, rate});
        av_log_set_level(logLevel);
        return found;
    }();
    if (!callback)
        return;
    for (const Format& f : formats)
        callback(f.bitrate, f.channels, f.rate);
} catch (...) {
}

void SetLevelReport(LevelReport report, void* context)
{
    levelContext.store(context);
    levelReport.store(report);
}

void SetRecordEventReport(RecordEventReport report, void* context)
{
    eventContext.store(context);
    eventReport.store(report);
}

} // extern "C"
