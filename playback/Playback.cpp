// The playback engine: play, pause, resume and stop the target file through the wave output,
// refilling each buffer the device hands back until the file's exact length has been queued.
#include "Playback.h"

#include "app/Kestrune.h"
#include "framework/Application.h"
#include "framework/Messages.h"
#include "mp3io.h"
#include "platform/Files.h"
#include "platform/Rounding.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>

namespace {

void ErrorBox(const std::string& text)
{
    framework::Application().MessageBox(text, "Error", framework::MB_OK | framework::MB_ICONERROR);
}

} // namespace

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

void TKestrune::PlayIt1Click()
{
    tbPlayItClick();
}

void TKestrune::StopPlayback1Click()
{
    tbStopPlaybackClick();
}

void TKestrune::tbPlayItClick()
{
    if (tbPlayIt->Hint() == "Pause") {
        if (!State.Playing)
            return;
        tbPlayIt->SetHint("Resume");
        PlayIt1->SetCaption("Resume Playback");
        State.Interrupted = true;
        tmRecordCircle->SetEnabled(false);
        ShowStatus("Paused");
        StopWaveOut();
        SetTrayToolTip("Paused");
        LoadTrayIcon("ti_play_p.ico", true);
        return;
    }

    // A file that cannot be described, or has no length, is refused here rather than shown as
    // playing with nothing to play. An unknown extension has had its own box already.
    if (!DescribeAudioFile(State.TargetFile, FileInfo) || FileInfo.DurationMs == 0) {
        const std::string extension = platform::UpperFileExtension(State.TargetFile);
        if (extension == ".WAV" || extension == ".MP3" || extension == ".WMA")
            ErrorBox("Can't play file : " + State.TargetFile);
        ShowPlaybackReady();
        return;
    }
    tbPlayIt->SetImageIndex(4);
    PlayIt1->SetCaption("Pause Playback");
    tbPlayIt->SetHint("Pause");
    ShowTitleAndToolTip("Playing");
    LoadTrayIcon("ti_play.ico", true);
    State.StatusText = PlayingStatusText(FileInfo);
    ShowStatus(State.StatusText);
    State.PlayLengthMs = FileInfo.DurationMs;
    // Paused at the very end: resume from the start.
    if (static_cast<uint32_t>(State.PositionMs) == FileInfo.DurationMs)
        State.PositionMs = 0;
    StartPlaybackAt(State.PositionMs);
    // Nothing is shown as playing that does not play (a position past this file's end).
    if (!State.Playing) {
        if (tbPlayIt->ImageIndex() == 4)
            ShowPlaybackReady();
        return;
    }
    tmRecordCircle->SetEnabled(true);
}

void TKestrune::StartPlaybackAt(int32_t posMs)
{
    if (State.TargetFile.empty() || static_cast<uint32_t>(posMs) >= State.PlayLengthMs)
        return;
    if (State.Playing) {
        State.Interrupted = true;
        StopWaveOut();
    }
    if (!OpenAudioReader(State.TargetFile, FileInfo, posMs)) {
        CloseAudioReader(FileInfo);
        ErrorBox("Can't play file : " + State.TargetFile);
        ShowPlaybackReady();
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
    WaveOutHandle = platform::OpenWaveOut(
        format,
        [this](platform::WaveOut* output, platform::WaveHeader* header) {
            PostMessage(framework::MM_WOM_DONE, reinterpret_cast<uintptr_t>(output),
                reinterpret_cast<intptr_t>(header));
        },
        error);
    if (!WaveOutHandle) {
        CloseAudioReader(FileInfo);
        ErrorBox("Can't open wave out device");
        ShowPlaybackReady();
        return;
    }

    const uint32_t frameBytes = channels * 2;
    State.PlayedFrame = static_cast<int64_t>(MsToFrames(static_cast<uint64_t>(posMs), rate));
    State.FramesQueued = 0;
    State.FramesToPlay = static_cast<uint32_t>(MsToFrames(State.PlayLengthMs - static_cast<uint32_t>(posMs), rate));
    if (!PlaybackBuffers)
        PlaybackBuffers = std::make_unique<uint8_t[]>(PlaybackBufferCount * PlaybackBufferBytes);

    State.BuffersOutstanding = PlaybackBufferCount;
    for (int i = 0; i < PlaybackBufferCount; ++i) {
        const uint8_t* block = nullptr;
        uint32_t size = 0;
        if (!ReadAudioBlock(FileInfo, block, size)) {
            State.BuffersOutstanding = i;
            break;
        }
        // Whole frames only: a chunk behind a WAV's audio may end the file on a part of one,
        // and an output takes whole frames.
        size = std::min(size, PlaybackBufferBytes) / frameBytes * frameBytes;
        uint8_t* slot = PlaybackBuffers.get() + static_cast<size_t>(i) * PlaybackBufferBytes;
        std::memcpy(slot, block, size);
        State.FramesQueued += size / frameBytes;
        bool last = false;
        if (State.FramesQueued >= State.FramesToPlay) {
            size -= (State.FramesQueued - State.FramesToPlay) * frameBytes;
            last = true;
            if (size == 0) {
                State.BuffersOutstanding = i;
                State.Finishing = true;
                break;
            }
        }
        PlaybackHeaders[i] = std::make_unique<platform::WaveHeader>();
        platform::WaveHeader* header = PlaybackHeaders[i].get();
        header->Data = slot;
        header->BufferLength = size;
        header->User = static_cast<uintptr_t>(i);
        WaveOutHandle->Prepare(header);
        WaveOutHandle->Write(header);
        if (last) {
            State.BuffersOutstanding = i + 1;
            State.Finishing = true;
            break;
        }
    }
    // A reader that gives nothing would leave a playback that never ends.
    if (State.BuffersOutstanding == 0) {
        WaveOutHandle->Close();
        WaveOutHandle.reset();
        CloseAudioReader(FileInfo);
        ErrorBox("Can't play file : " + State.TargetFile);
        ShowPlaybackReady();
        return;
    }
    State.Playing = true;
}

void TKestrune::MMWomDone(framework::TMessage& message)
{
    auto* output = reinterpret_cast<platform::WaveOut*>(message.WParam);
    auto* header = reinterpret_cast<platform::WaveHeader*>(message.LParam);
    // The output hands back every queued buffer before a reset returns and none after its
    // close, so a buffer of an ended playback never arrives; one from another device would be
    // a fault, and is left alone.
    if (!WaveOutHandle || output != WaveOutHandle.get() || !header)
        return;
    const uint32_t channels = FileInfo.Channels;
    const uint32_t frameBytes = channels * 2;
    output->Unprepare(header);
    State.PlayedFrame += header->BufferLength / frameBytes;
    if (!State.Resetting) {
        State.PositionMs = FramesToMs(State.PlayedFrame, FileInfo.SampleRate);
        ShowPlayPosition();
    }

    if (!State.Finishing) {
        const uint8_t* block = nullptr;
        uint32_t size = 0;
        if (ReadAudioBlock(FileInfo, block, size) && size > 0) {
            size = std::min(size, PlaybackBufferBytes) / frameBytes * frameBytes;
            State.FramesQueued += size / frameBytes;
            bool last = false;
            if (State.FramesQueued > State.FramesToPlay) {
                size -= (State.FramesQueued - State.FramesToPlay) * frameBytes;
                last = true;
            }
            if (size > 0) {
                std::memcpy(header->Data, block, size);
                header->BufferLength = size;
                output->Prepare(header);
                output->Write(header);
                if (last)
                    State.Finishing = true;
                return;
            }
        }
    }

    // Release the buffer.
    State.Finishing = true;
    State.BuffersOutstanding -= 1;
    const size_t slot = header->User;
    if (slot < PlaybackHeaders.size() && PlaybackHeaders[slot].get() == header)
        PlaybackHeaders[slot].reset();
    if (State.BuffersOutstanding != 0)
        return;

    // The last buffer came back.
    WaveOutHandle->Close();
    WaveOutHandle.reset();
    CloseAudioReader(FileInfo);
    State.Playing = false;
    if (!State.Interrupted)
        ShowPlaybackReady();
    State.Interrupted = false;
}

void TKestrune::StopWaveOut()
{
    if (!State.Playing)
        return;
    State.Finishing = true;
    platform::WaveOut* output = WaveOutHandle.get();
    if (output)
        output->Reset();
    State.Resetting = true;
    // Every buffer the reset handed back waits in the queue as a message, so all of them are
    // handled here and the one that brings the count to 0 runs the end steps inside this wait
    // (none can come late, after the close). An output that kept a buffer would hold the
    // window for ever: two seconds at most.
    QElapsedTimer waited;
    waited.start();
    while (State.BuffersOutstanding > 0 && WaveOutHandle && waited.elapsed() < 2000)
        framework::Application().ProcessMessages();
    State.Resetting = false;
    if (WaveOutHandle) {
        WaveOutHandle->Close();
        WaveOutHandle.reset();
    }
    CloseAudioReader(FileInfo);
    State.Playing = false;
}

void TKestrune::tbStopPlaybackClick()
{
    ShowPlaybackReady();
    if (State.Playing)
        StopWaveOut();
}

void TKestrune::ShowPlaybackReady()
{
    tbPlayIt->SetImageIndex(3);
    tbPlayIt->SetHint("Play It");
    PlayIt1->SetCaption("Play It");
    State.StatusText = "Ready for your command ...";
    ShowStatus(State.StatusText);
    ShowTitleAndToolTip("Kestrune");
    LoadTrayIcon("ti.ico", true);
    State.PositionMs = 0;
    ShowPlayPosition();
    ResetMeters();
    tmRecordCircle->SetEnabled(false);
}
