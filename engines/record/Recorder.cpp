#include "Recorder.h"

#include "RecordApi.h"

#include <algorithm>
#include <chrono>

namespace record {

Recorder::Recorder(std::unique_ptr<AudioSink> sink, int blockBytes, int ringBlocks, LevelCallback levels,
    EventCallback events, std::string input)
    : sink_(std::move(sink)), requestedBlockBytes_(blockBytes), requestedRingBlocks_(ringBlocks),
      levels_(std::move(levels)), events_(std::move(events)), input_(std::move(input))
{
}

Recorder::~Recorder()
{
    Stop();
}

bool Recorder::Start(std::string& error)
{
    if (!sink_->Prepare(error))
        return false;
    channels_ = sink_->Channels();
    const size_t frameBytes = 2u * static_cast<size_t>(channels_);
    const size_t second = static_cast<size_t>(sink_->Rate()) * frameBytes;
    // A block is BufferSize bytes of whole frames (2000 when the value makes no sense), at
    // most a second. The ring holds BufferNumber blocks, but never less than two seconds, so
    // a slow disk write loses nothing, and never more than thirty, whatever a hand-edited
    // set.ini asks for.
    const size_t blockBytes = requestedBlockBytes_ >= static_cast<int>(frameBytes)
        ? std::min(static_cast<size_t>(requestedBlockBytes_), second) : 2000;
    blockFrames_ = std::max<size_t>(blockBytes / frameBytes, 1);
    const size_t asked = blockFrames_ * frameBytes * static_cast<size_t>(std::max(requestedRingBlocks_, 1));
    const size_t ringBytes = std::clamp(asked, 2 * second, 30 * second);
    ring_ = std::make_unique<SampleRing>(ringBytes, frameBytes);
    block_.resize(blockFrames_ * static_cast<size_t>(channels_));

    capture_ = OpenCaptureDevice(sink_->Rate(), channels_, static_cast<int>(blockFrames_), input_, ring_.get(), error);
    if (!capture_)
        return false;
    capture_->InputReport = [this](bool present) {
        if (events_)
            events_(present ? RECORD_INPUT_BACK : RECORD_INPUT_LOST);
    };
    if (!sink_->Open(error)) {
        capture_->Close();
        return false;
    }
    running_ = true;
    writer_ = std::thread([this] { WriterLoop(); });
    capture_->Start();
    return true;
}

void Recorder::Stop()
{
    if (!running_)
        return;
    capture_->Close(); // no callback runs after this
    stopping_.store(true);
    ring_->Wake();
    writer_.join();
    running_ = false;
}

uint64_t Recorder::LostFrames() const
{
    const uint64_t frameBytes = 2u * static_cast<uint64_t>(channels_ ? channels_ : 1);
    // What is still in the ring after the stop never reached the file either (a writer that
    // gave up); normally the stop empties it.
    return (capture_ ? capture_->LostFrames() : 0)
        + (ring_ ? (ring_->Dropped() + (running_ ? 0 : ring_->Available())) / frameBytes : 0);
}

void Recorder::Consume(const int16_t* interleaved, size_t frames)
{
    if (levels_)
        levels_(PeakLevels(interleaved, frames, channels_ ? channels_ : sink_->Channels()));
    if (!paused_.load(std::memory_order_relaxed))
        sink_->Write(interleaved, frames);
}

void Recorder::Drain(bool all)
{
    const size_t blockBytes = block_.size() * sizeof(int16_t);
    const size_t frameBytes = 2u * static_cast<size_t>(channels_);
    while (ring_->Available() >= (all ? frameBytes : blockBytes)) {
        const size_t want = std::min(blockBytes, ring_->Available() / frameBytes * frameBytes);
        const size_t got = ring_->Read(reinterpret_cast<uint8_t*>(block_.data()), want);
        Consume(block_.data(), got / frameBytes);
    }
}

void Recorder::NoteFailure()
{
    if (!sink_->Failed() || writeError_.load(std::memory_order_relaxed) != 0)
        return;
    writeError_.store(sink_->Error(), std::memory_order_release);
    if (events_)
        events_(RECORD_WRITE_FAILED);
}

void Recorder::WriterLoop()
{
    // An exception here would end the program with the file half written: the writer stops
    // instead, the file keeps what its last checkpoint made valid, and what the ring can no
    // longer take is counted as lost.
    try {
        using Clock = std::chrono::steady_clock;
        constexpr auto CheckpointEvery = std::chrono::milliseconds(500);
        auto lastCheckpoint = Clock::now();
        while (!stopping_.load()) {
            Drain(false);
            const auto now = Clock::now();
            if (now - lastCheckpoint >= CheckpointEvery) {
                sink_->Checkpoint();
                lastCheckpoint = now;
            }
            // The file stopped taking audio: the capture goes on (for the levels) until the
            // program stops the recording, and what comes meanwhile is not lost sound.
            NoteFailure();
            // Sleeps until the device delivers (or the stop), so the writer wakes once a
            // fragment, yet the file is still made valid twice a second if capture stalls.
            ring_->AwaitData(std::chrono::ceil<std::chrono::milliseconds>(
                lastCheckpoint + CheckpointEvery - Clock::now()));
        }
        Drain(true);
        sink_->Finish();
        NoteFailure();
    } catch (...) {
        try {
            sink_->Finish();
        } catch (...) {
        }
    }
}

} // namespace record
