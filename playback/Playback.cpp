// The playback: play, pause, resume and stop the target file through the wave output,
// refilling each buffer the device hands back until the file's exact length has been queued.
#include "Playback.h"

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Messages.h"
#include "framework/RecorderView.h"
#include "mp3io.h"
#include "platform/Files.h"
#include "platform/Rounding.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>

std::string PlayingStatusText(const AudioFileInfo& info)
{
    std::string text = "Playing ";
    text += info.Channels == 1 ? "Mono " : "Stereo ";
    text += std::to_string(info.SampleRate) + " Samples/Sec ";
    switch (info.Kind) {
    case akWav: text += "WAV Audio ..."; break;
    case akMp3: text += std::to_string(info.Bitrate) + " K Bit rate MP3 Audio ..."; break;
    case akWma: text += std::to_string(info.Bitrate) + " K Bit rate WMA Audio ..."; break;
    default: break;
    }
    return text;
}

uint64_t MsToFrames(uint64_t ms, uint32_t rate)
{
    return platform::RoundHalfEven(ms * rate, 1000);
}

int32_t FramesToMs(int64_t frame, uint32_t rate)
{
    if (frame <= 0 || rate == 0)
        return 0;
    const uint64_t ms = platform::RoundHalfEven(static_cast<uint64_t>(frame) * 1000, rate);
    return static_cast<int32_t>(std::min<uint64_t>(ms, INT32_MAX));
}

TPlayback::TPlayback(RecorderView& view, framework::TForm& window, framework::TImage& knob)
    : SeekBar(*this, knob, view), view_(view), window_(window)
{
}

TPlayback::~TPlayback()
{
    if (output_)
        output_->Close();
}

void TPlayback::Pause()
{
    if (!State.Playing)
        return;
    State.Button = PlayButtonLook::Resume;
    view_.ShowPlayButton(State.Button);
    State.Interrupted = true;
    view_.TurnReels(false);
    view_.ShowStatus("Paused");
    StopOutput();
    view_.SetTrayToolTip("Paused");
    view_.LoadTrayIcon("ti_play_p.ico", true);
}

void TPlayback::PlayOrPause(const std::string& file)
{
    if (State.Button == PlayButtonLook::Pause) {
        Pause();
        return;
    }

    // A file that cannot be described, or has no length, is refused here rather than shown as
    // playing with nothing to play. An unknown extension has had its own box already.
    if (!DescribeAudioFile(file, FileInfo) || FileInfo.DurationMs == 0) {
        const std::string extension = platform::UpperFileExtension(file);
        if (extension == ".WAV" || extension == ".MP3" || extension == ".WMA")
            framework::ErrorBox("Can't play file : " + file,
                FileInfo.DurationMs == 0 && AudioReaderError().empty() ? "it holds no audio" : AudioReaderError());
        ShowReadyAfterBox();
        return;
    }
    file_ = file;
    State.Button = PlayButtonLook::Pause;
    view_.ShowPlayButton(State.Button);
    view_.ShowTitleAndToolTip("Playing");
    view_.LoadTrayIcon("ti_play.ico", true);
    view_.ShowStatus(PlayingStatusText(FileInfo));
    State.PlayLengthMs = FileInfo.DurationMs;
    // Paused at the very end: resume from the start.
    if (static_cast<uint32_t>(State.PositionMs) == FileInfo.DurationMs)
        State.PositionMs = 0;
    StartAt(State.PositionMs);
    // Nothing is shown as playing that does not play (a position past this file's end).
    if (!State.Playing) {
        if (Open())
            ShowReady();
        return;
    }
    view_.TurnReels(true);
}

uint32_t TPlayback::ReadNextBlock(uint8_t* data, bool& last)
{
    last = false;
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    if (!ReadAudioBlock(FileInfo, block, size) || size == 0)
        return 0;
    // Whole frames only: a chunk behind a WAV's audio may end the file on a part of one, and
    // an output takes whole frames.
    const uint32_t frameBytes = FileInfo.Channels * 2;
    size = std::min(size, BufferBytes) / frameBytes * frameBytes;
    State.FramesQueued += size / frameBytes;
    if (State.FramesQueued >= State.FramesToPlay) {
        size -= (State.FramesQueued - State.FramesToPlay) * frameBytes;
        last = true;
    }
    std::memcpy(data, block, size);
    return size;
}

void TPlayback::StartAt(int32_t posMs)
{
    if (file_.empty() || static_cast<uint32_t>(posMs) >= State.PlayLengthMs)
        return;
    if (State.Playing) {
        State.Interrupted = true;
        StopOutput();
    }
    if (!OpenAudioReader(file_, FileInfo, posMs)) {
        Refuse("Can't play file : " + file_, AudioReaderError());
        return;
    }
    State.Finishing = false;

    const uint32_t channels = FileInfo.Channels;
    const uint32_t rate = FileInfo.SampleRate;
    platform::WaveFormat format;
    format.FormatTag = 1;
    format.Channels = static_cast<uint16_t>(channels);
    format.SamplesPerSec = rate;
    format.AvgBytesPerSec = channels * rate * 2;
    format.BlockAlign = static_cast<uint16_t>(channels * 2);
    format.BitsPerSample = 16;
    format.ExtraSize = 0;
    std::string error;
    // Called on the output's thread: the window learns of each returned buffer by a message.
    output_ = platform::OpenWaveOut(
        format,
        [&window = window_](platform::WaveOut* output, platform::WaveHeader* header) {
            window.PostMessage(framework::MM_WOM_DONE, reinterpret_cast<uintptr_t>(output),
                reinterpret_cast<intptr_t>(header));
        },
        error);
    if (!output_) {
        Refuse("Can't open wave out device", error);
        return;
    }

    State.PlayedFrame = static_cast<int64_t>(MsToFrames(static_cast<uint64_t>(posMs), rate));
    State.FramesQueued = 0;
    State.FramesToPlay = static_cast<uint32_t>(MsToFrames(State.PlayLengthMs - static_cast<uint32_t>(posMs), rate));
    if (!buffers_)
        buffers_ = std::make_unique<uint8_t[]>(BufferCount * BufferBytes);

    State.BuffersOutstanding = BufferCount;
    for (int i = 0; i < BufferCount; ++i) {
        uint8_t* slot = buffers_.get() + static_cast<size_t>(i) * BufferBytes;
        bool last = false;
        const uint32_t size = ReadNextBlock(slot, last);
        if (size == 0) {
            State.BuffersOutstanding = i;
            State.Finishing = true;
            break;
        }
        headers_[i] = std::make_unique<platform::WaveHeader>();
        platform::WaveHeader* header = headers_[i].get();
        header->Data = slot;
        header->BufferLength = size;
        header->User = static_cast<uintptr_t>(i);
        output_->Prepare(header);
        output_->Write(header);
        if (last) {
            State.BuffersOutstanding = i + 1;
            State.Finishing = true;
            break;
        }
    }
    // A reader that gives nothing would leave a playback that never ends.
    if (State.BuffersOutstanding == 0) {
        Refuse("Can't play file : " + file_, "no audio could be read from it");
        return;
    }
    State.Playing = true;
}

void TPlayback::Refuse(const std::string& text, const std::string& reason)
{
    CloseOutput();
    CloseAudioReader(FileInfo);
    framework::ErrorBox(text, reason);
    ShowReadyAfterBox();
}

void TPlayback::ShowReadyAfterBox()
{
    if (State.Playing || (Recording && Recording()))
        return;
    ShowReady();
}

void TPlayback::CloseOutput()
{
    if (output_) {
        output_->Close();
        output_.reset();
    }
}

void TPlayback::BufferDone(platform::WaveOut* output, platform::WaveHeader* header)
{
    // The output hands back every queued buffer before a reset returns and none after its
    // close, so a buffer of an ended playback never arrives; one from another device would be
    // a fault, and is left alone.
    if (!output_ || output != output_.get() || !header)
        return;
    output->Unprepare(header);
    State.PlayedFrame += header->BufferLength / (FileInfo.Channels * 2);
    if (!State.Resetting) {
        State.PositionMs = FramesToMs(State.PlayedFrame, FileInfo.SampleRate);
        ShowPosition();
    }

    // An output whose server went away plays nothing more: the playback ends as at the end.
    if (output->Gone())
        State.Finishing = true;
    if (!State.Finishing) {
        bool last = false;
        const uint32_t size = ReadNextBlock(header->Data, last);
        if (size > 0) {
            header->BufferLength = size;
            output->Prepare(header);
            output->Write(header);
            State.Finishing = last;
            return;
        }
    }

    // Release the buffer.
    State.Finishing = true;
    State.BuffersOutstanding -= 1;
    const size_t slot = header->User;
    if (slot < headers_.size() && headers_[slot].get() == header)
        headers_[slot].reset();
    if (State.BuffersOutstanding != 0)
        return;

    // The last buffer came back.
    CloseOutput();
    CloseAudioReader(FileInfo);
    State.Playing = false;
    if (!State.Interrupted)
        ShowReady();
    State.Interrupted = false;
}

void TPlayback::StopOutput()
{
    if (!State.Playing)
        return;
    State.Finishing = true;
    if (output_)
        output_->Reset();
    State.Resetting = true;
    // Every buffer the reset handed back waits in the queue as a message, so all of them are
    // handled here and the one that brings the count to 0 runs the end steps inside this wait
    // (none can come late, after the close). An output that kept a buffer would hold the
    // window for ever: two seconds at most.
    QElapsedTimer waited;
    waited.start();
    while (State.BuffersOutstanding > 0 && output_ && waited.elapsed() < 2000)
        framework::Application().ProcessMessages();
    State.Resetting = false;
    CloseOutput();
    CloseAudioReader(FileInfo);
    State.Playing = false;
}

void TPlayback::Stop()
{
    ShowReady();
    if (State.Playing)
        StopOutput();
}

void TPlayback::Interrupt()
{
    if (!State.Playing)
        return;
    State.Interrupted = true;
    StopOutput();
}

void TPlayback::ShowReady()
{
    State.Button = PlayButtonLook::Play;
    view_.ShowPlayButton(State.Button);
    view_.ShowStatus("Ready for your command ...");
    view_.ShowTitleAndToolTip("Kestrune");
    view_.LoadTrayIcon("ti.ico", true);
    State.PositionMs = 0;
    ShowPosition();
    view_.ResetMeters();
    view_.TurnReels(false);
}

void TPlayback::ShowPosition()
{
    SeekBar.ShowPosition(State.PositionMs, FileInfo.DurationMs);
}
