#pragma once
// The playback: the target file played through the wave output, each buffer the device hands
// back refilled until the file's exact length has been queued. Its rules that need no window
// come first.
#include "AudioFileInfo.h"
#include "PlaybackState.h"
#include "SeekBar.h"
#include "platform/WaveOut.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class RecorderView;
namespace framework {
class TForm;
class TImage;
} // namespace framework

// "Playing Stereo 44100 Samples/Sec WAV Audio ..." and its kin, from the file's description.
std::string PlayingStatusText(const AudioFileInfo& info);

// Milliseconds to sample frames and back at rate, rounded to nearest, halves to even, in
// 64 bits. Frames before 0 are position 0.
uint64_t MsToFrames(uint64_t ms, uint32_t rate);
int32_t FramesToMs(int64_t frame, uint32_t rate);

// Owned by the main window; window thread only. Returned buffers reach it as MM_WOM_DONE
// messages posted to `window`; what it shows goes to `view`; the seek bar moves `knob`.
class TPlayback {
public:
    TPlayback(RecorderView& view, framework::TForm& window, framework::TImage& knob);
    // No returned buffer may be posted once the playback is gone.
    ~TPlayback();
    TPlayback(const TPlayback&) = delete;
    TPlayback& operator=(const TPlayback&) = delete;

    PlaybackState State;
    AudioFileInfo FileInfo; // the playing file's description
    TSeekBar SeekBar;
    // Set by the window: a recording runs. A scheduled one may start while a refusal's box
    // is open, and the ready state must not then cover it.
    std::function<bool()> Recording;

    // A playback exists: playing, or paused with its position kept.
    bool Open() const { return State.Button != PlayButtonLook::Play; }

    // The play button: pause while playing, otherwise play or resume `file` from PositionMs.
    void PlayOrPause(const std::string& file);
    // Pauses a playing playback: the device stops, the position stays.
    void Pause();
    // The stop button: the ready state, position 0.
    void Stop();
    // Stops the sound where the window goes away or a recording takes the device; the
    // window is left as it is.
    void Interrupt();
    // (Re)starts the file last played at posMs: opens the reader and the device and primes
    // the buffers. Nothing happens past the end or with no file.
    void StartAt(int32_t posMs);
    // Resets and closes the device, handling every buffer it hands back, closes the reader.
    void StopOutput();
    // MM_WOM_DONE: the device and the returned buffer's header.
    void BufferDone(platform::WaveOut* output, platform::WaveHeader* header);
    // Play button, menu entry, texts, position, meters and reels as when nothing plays.
    void ShowReady();
    // The digits and the knob at PositionMs (held within the file).
    void ShowPosition();

    static constexpr int BufferCount = 16;
    static constexpr uint32_t BufferBytes = 8192;

private:
    // Reads the next block into data: whole frames only, cut at the playback's end. Answers
    // its bytes (0: nothing more to play); last is set when the end was reached.
    uint32_t ReadNextBlock(uint8_t* data, bool& last);
    // A playback that could not start: device and reader closed, the box (the reason as its
    // details), the ready state.
    void Refuse(const std::string& text, const std::string& reason);
    // The ready state after a box, unless something started while it was open.
    void ShowReadyAfterBox();
    void CloseOutput();

    RecorderView& view_;
    framework::TForm& window_;
    std::string file_; // what StartAt plays: the file of the last Play or Resume
    std::unique_ptr<platform::WaveOut> output_;
    // Slot i's bytes belong to header i for one playback; both are made when it starts.
    std::unique_ptr<uint8_t[]> buffers_;
    std::array<std::unique_ptr<platform::WaveHeader>, BufferCount> headers_;
};
