#pragma once
// One recording: the capture device, the ring it fills, and the writer thread that empties
// the ring into the file and reports each block's levels.
#include "AudioSink.h"
#include "Levels.h"
#include "SampleRing.h"
#include "CaptureDevice.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace record {

using LevelCallback = std::function<void(BlockLevels)>;
// Events of the recording (RECORD_WRITE_FAILED, RECORD_INPUT_LOST, RECORD_INPUT_BACK), on
// the writer's or the device's thread; must not block.
using EventCallback = std::function<void(int32_t event)>;

class Recorder {
public:
    // blockBytes: one writer block; ringBlocks: how many the ring holds (2 to 30 s of sound
    // whatever they say). input: the sound server's source to record, "" its default.
    Recorder(std::unique_ptr<AudioSink> sink, int blockBytes, int ringBlocks, LevelCallback levels,
        EventCallback events = nullptr, std::string input = {});
    ~Recorder();

    // Prepares the sink, opens the device, creates the file, starts capture and the writer.
    bool Start(std::string& error);
    void Pause() { paused_.store(true); }
    void Resume() { paused_.store(false); }
    // Stops capture, writes what is queued, finishes the file.
    void Stop();

    // The writer's work on one block, without a device (the benchmark feeds it directly).
    void Consume(const int16_t* interleaved, size_t frames);
    // Frames of sound lost between the input and the file: dropped by the device or the
    // server, or not taken by the ring because the writer fell behind. Final after Stop.
    uint64_t LostFrames() const;
    int Rate() const { return sink_->Rate(); }
    // The input asked for was not there at the start: the default input records instead.
    bool InputMissing() const { return capture_ && capture_->InputMissing(); }
    // The errno that stopped the file (a full disk, a failed write); 0 while it takes audio.
    // Any thread.
    int WriteError() const { return writeError_.load(std::memory_order_acquire); }
    AudioSink& Sink() { return *sink_; }

private:
    void WriterLoop();
    void Drain(bool all);
    void NoteFailure();

    std::unique_ptr<AudioSink> sink_;
    int requestedBlockBytes_;
    int requestedRingBlocks_;
    size_t blockFrames_ = 0;
    int channels_ = 0;
    LevelCallback levels_;
    EventCallback events_;
    std::string input_;
    std::atomic<int> writeError_{0};
    std::unique_ptr<SampleRing> ring_;
    std::unique_ptr<CaptureDevice> capture_;
    std::vector<int16_t> block_;
    std::thread writer_;
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopping_{false};
    bool running_ = false;
};

} // namespace record
