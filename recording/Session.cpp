// The recording session: start, pause and resume, the record-time tick, stop, and the texts
// that say what is going on.
#include "Session.h"

#include "FileExists.h"
#include "Meters.h"
#include "RecordIO.h"
#include "framework/Application.h"
#include "framework/RecorderView.h"
#include "framework/RepaintPacer.h"
#include "framework/Timer.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TickCount.h"
#include "playback/Playback.h"
#include "playback/mp3io.h"
#include "settings/CommFunc.h"

#include <QPushButton>
#include <algorithm>

namespace {

constexpr const char* CantStartText = "Can't start recording, possible reason:\n"
                                      "1.Other programs are using recording device, please close it and try again.\n"
                                      "2.Audio device problem.";
// While the sound server is away nothing is written: the status line never says "Recording".
constexpr const char* WaitingText = "Waiting for the sound input ...";

} // namespace

std::string LossText(const std::string& path, uint32_t lossMs)
{
    // Tenths of a second, halves to even; a loss too small to show as 0.1 still shows as 0.1.
    uint64_t tenths = lossMs / 100;
    const uint32_t rest = lossMs % 100;
    if (rest > 50 || (rest == 50 && tenths % 2 == 1))
        ++tenths;
    tenths = std::max<uint64_t>(tenths, 1);
    return "Some sound was lost while recording " + path + ": " + std::to_string(tenths / 10) + "."
        + std::to_string(tenths % 10) + " s are missing.";
}

std::string WriteFailureText(const std::string& path, const std::string& reason, uint32_t heldMs)
{
    const uint32_t tenths = (heldMs + 50) / 100;
    return "Recording stopped: " + path + " could not be written (" + reason + "). It holds "
        + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s.";
}

std::string InputMissingText(const std::string& input, const std::string& path)
{
    return "The input " + input + " was not found; " + path + " was recorded from the default input.";
}

bool ExtensionFitsFormat(const std::string& path, const RecordingFormat& format)
{
    const int32_t type = EffectiveFormatOf(format).RecordType;
    const std::string extension = platform::UpperFileExtension(path);
    if (extension == ".WAV")
        return type == 0;
    if (extension == ".MP3")
        return type == 1;
    if (extension == ".WMA")
        return type == 2;
    return true;
}

std::string ElapsedTimeText(uint32_t elapsedSec)
{
    return PadTwoDigits(elapsedSec / 3600) + ":" + PadTwoDigits(elapsedSec % 3600 / 60) + ":" +
        PadTwoDigits(elapsedSec % 60);
}

std::string RecordingStatusText(bool queued, const RecordingFormat& format)
{
    const EffectiveFormat f = EffectiveFormatOf(format);
    std::string text = queued ? "Queue Recording " : "Recording ";
    text += f.Channels == 1 ? "Mono " : "Stereo ";
    text += std::to_string(f.SampleRate) + " Samples/Sec ";
    if (format.UseWma)
        text += std::to_string(f.Bitrate) + " K Bit rate WMA Audio ...";
    else if (format.RecordType == 0)
        text += "WAV Audio ...";
    else if (format.RecordType == 1)
        text += std::to_string(f.Bitrate) + " K Bit rate MP3 Audio ...";
    return text;
}

StartRecordParams StartParamsOf(const RecordingFormat& format)
{
    const EffectiveFormat f = EffectiveFormatOf(format);
    return {f.RecordType, f.SampleRate, f.Channels, format.BufferSize, format.BufferNumber, f.Bitrate};
}

uint32_t ElapsedSeconds(uint32_t now, uint32_t runStartTick, uint32_t bankedMs)
{
    return (now - runStartTick + bankedMs) / 1000;
}

// ---- Commands ----------------------------------------------------------------------------

TRecordingSession::TRecordingSession(RecorderSettings& settings, TPlayback& playback, TLevelMeters& meters,
    RecorderView& view, framework::TTimer& recordTime, framework::TSaveDialog& saveDialog, QWidget& owner)
    : settings_(settings), playback_(playback), meters_(meters), view_(view), recordTime_(recordTime),
      saveDialog_(saveDialog), owner_(owner)
{
}

void TRecordingSession::Record(RecordTarget target)
{
    if (State.Recording)
        return;
    // Only a Continue choice below makes this start continue a file.
    RecordingStart start;
    // The playback's position stays put while the user decides.
    if (playback_.Open() && playback_.State.Playing)
        playback_.Pause();

    if (settings_.AutoName.Enable && target == RecordTarget::ByTheSettings) {
        State.TargetFile = MakeAutoFileName();
        view_.ShowFileName(State.TargetFile);
    }
    // The file selection until it gives a name of the format (a ".mp3" typed under WAV asks
    // again); false when it was cancelled. Every dialog and box here runs its own loop, in
    // which the schedule may begin a recording: then this command ends at once and leaves
    // that recording's target be.
    const auto chooseFitting = [this] {
        while (State.TargetFile.empty() || !ExtensionFitsFormat(State.TargetFile, settings_.Format)) {
            State.TargetFile.clear();
            view_.ShowFileName("");
            SelectFile();
            if (State.Recording || State.TargetFile.empty())
                return false;
        }
        return true;
    };
    if (!chooseFitting())
        return;

    // An overwritten file is only moved aside until the engine has started, so that a
    // recording that cannot start loses nothing. It goes back under the name it had, which
    // TargetFile need not hold any more by then.
    std::string aside;
    std::string asideFrom;
    const auto settleAside = [&](bool started) {
        if (aside.empty())
            return;
        if (started)
            platform::DeleteFile(aside);
        else if (!platform::FileExists(asideFrom)) // never over a file made meanwhile
            platform::RenameFile(aside, asideFrom);
        aside.clear();
    };
    while (platform::FileExists(State.TargetFile)) {
        FileExistsChoice choice = fcNone;
        {
            TfmFileExists dialog(&owner_);
            if (settings_.Format.UseWma)
                dialog.btnContinuedRec->setEnabled(false);
            if (playback_.Open())
                dialog.btnContinuedRec->setText("Continued Record From Current Position");
            dialog.lbFileName->SetCaption(State.TargetFile);
            dialog.ShowModal();
            choice = dialog.Choice;
        }
        if (choice == fcCancel || State.Recording)
            return;
        if (choice == fcOverwrite) {
            start.AppendMode = 0;
            start.StartPosMs = 0;
            asideFrom = State.TargetFile;
            aside = platform::MoveAside(State.TargetFile);
            if (aside.empty() && !platform::DeleteFile(State.TargetFile)) {
                framework::ErrorBox("Can't access file : " + State.TargetFile);
                return;
            }
            break;
        }
        if (choice == fcContinue) {
            // Appending from a length the file does not have would destroy its audio.
            AudioFileInfo existing;
            if (!DescribeAudioFile(State.TargetFile, existing)) {
                framework::ErrorBox("Can't continue file : " + State.TargetFile);
                return;
            }
            start.AppendMode = 1;
            start.ExistingLengthMs = existing.DurationMs;
            start.StartPosMs =
                playback_.Open() ? playback_.State.PositionMs : static_cast<int32_t>(existing.DurationMs);
            break;
        }
        // Select New File, or the dialog closed: the same name unless one is chosen.
        const std::string before = State.TargetFile;
        SelectFile();
        if (State.Recording)
            return;
        if (State.TargetFile != before && !chooseFitting())
            return;
    }

    if (State.Recording) {
        settleAside(false);
        return;
    }
    playback_.Stop();
    start.Target = State.TargetFile;
    start.Format = settings_.Format;
    settleAside(StartRecording(start));
}

bool TRecordingSession::StartRecording(const RecordingStart& start)
{
    // A folder that takes no file is told as such, not as a sound device that failed.
    if (const std::string why = platform::WhyNotWritable(start.Target); !why.empty()) {
        framework::ErrorBox("Can't create file : " + start.Target + " (" + why + ")");
        return false;
    }
    const StartRecordParams params = StartParamsOf(start.Format);
    if (RecordIO.SetRecordInput)
        RecordIO.SetRecordInput(settings_.Input.c_str());
    if (RecordIO.StartRecord(&params, start.Target.c_str(), start.AppendMode, start.StartPosMs,
            start.ExistingLengthMs) == 0) {
        framework::ErrorBox(CantStartText, RecordErrorText());
        return false;
    }
    State.TargetFile = start.Target;
    view_.ShowFileName(State.TargetFile);
    State.Format = start.Format;
    State.QueueRecordingFlag = start.Queued;
    State.ElapsedSec = static_cast<uint32_t>(start.StartPosMs / 1000);
    State.AutoPauseArmed = settings_.AutoPause.Enable;
    view_.StartReelAnimation();
    view_.ShowElapsedSeconds(State.ElapsedSec);
    recordTime_.SetEnabled(true);
    State.RunStartTick = platform::GetTickCount();
    State.BankedMs = static_cast<uint32_t>(start.StartPosMs);
    State.Recording = true;
    State.Paused = false;
    State.QuietSince = 0;
    State.WaitingForInput = false;
    State.Input = settings_.Input;
    KeepAwake();
    ShowRecordingStatus();
    return true;
}

void TRecordingSession::KeepAwake()
{
    const std::string& target = State.TargetFile;
    sleepLock_.Hold("Recording " + target.substr(target.find_last_of('/') + 1));
}

void TRecordingSession::ShowRecordingStatus()
{
    view_.ShowTitleAndToolTip("Recording(" + ElapsedTimeText(State.ElapsedSec) + ")");
    view_.LoadTrayIcon("ti_rec.ico", false);
    view_.ShowStatus(State.WaitingForInput ? WaitingText : RecordingStatusText(State.QueueRecordingFlag, State.Format));
}

void TRecordingSession::Tick()
{
    State.ElapsedSec = ElapsedSeconds(platform::GetTickCount(), State.RunStartTick, State.BankedMs);
    // The ends come before anything is shown: a recording always ends at its length.
    if (AutoStopReached())
        return;
    if (State.QueueRecordingFlag && State.ElapsedSec >= State.QueueLength) {
        Stop();
        return;
    }
    view_.ShowElapsedSeconds(State.ElapsedSec);
    view_.ShowTitleAndToolTip("Recording(" + ElapsedTimeText(State.ElapsedSec) + ")");
    view_.LoadTrayIcon("ti_rec.ico", false);
}

bool TRecordingSession::AutoStopReached()
{
    const AutoStopSettings& stop = settings_.AutoStop;
    if (!stop.Enable)
        return false;
    const auto limit = static_cast<uint32_t>(int64_t{stop.Hour} * 3600 + int64_t{stop.Minute} * 60 + stop.Second);
    if (State.ElapsedSec < limit)
        return false;
    Stop();
    return true;
}

void TRecordingSession::PauseButton()
{
    if (!settings_.AutoPause.Enable) {
        PauseOrResume(true);
        return;
    }
    // With automatic pause in use the button also switches the level watch: a manual pause
    // ends the watching, a manual resume starts it again.
    if (State.AutoPauseArmed) {
        if (!State.Paused) {
            PauseOrResume(true);
        } else if (State.Recording) {
            // Paused automatically: stays paused, now by hand.
            sleepLock_.Release();
            view_.ShowTitleAndToolTip("Paused(" + ElapsedTimeText(State.ElapsedSec) + ")");
            view_.LoadTrayIcon("ti_rec_p.ico", true);
            view_.ShowStatus("Paused ...");
        }
    } else if (State.Paused) {
        PauseOrResume(true);
    }
    State.AutoPauseArmed = !State.AutoPauseArmed;
}

void TRecordingSession::PauseOrResume(bool manual)
{
    if (!State.Recording)
        return;
    if (State.Paused) {
        State.Paused = false;
        view_.TurnReels(true);
        recordTime_.SetEnabled(true);
        State.RunStartTick = platform::GetTickCount();
        RecordIO.ResumeRecord();
        KeepAwake();
        ShowRecordingStatus();
        if (manual)
            view_.ShowPauseHint("Pause Recording");
        return;
    }
    State.Paused = true;
    view_.TurnReels(false);
    recordTime_.SetEnabled(false);
    // The stretch up to the pause is kept; the pause itself is never counted.
    State.BankedMs += platform::GetTickCount() - State.RunStartTick;
    RecordIO.PauseRecord();
    // An automatic pause waits for sound and must go on listening; a pause by hand may sleep.
    if (manual)
        sleepLock_.Release();
    view_.ShowTitleAndToolTip("Paused(" + ElapsedTimeText(State.ElapsedSec) + ")");
    view_.LoadTrayIcon("ti_rec_p.ico", true);
    if (manual)
        view_.ShowPauseHint("Resume Recording");
    view_.ShowStatus(manual ? "Paused ..." : "Auto Paused ...");
}

void TRecordingSession::Stop()
{
    if (!State.Recording)
        return;
    RecordIO.StopRecord();
    sleepLock_.Release();
    const std::string stoppedFile = State.TargetFile;
    const RecordingFormat stoppedFormat = State.Format;
    // Read now: a queued recording that AfterStop begins clears the engine's account.
    const std::string failure = RecordErrorText();
    const uint32_t lossMs = RecordIO.RecordLossMs ? RecordIO.RecordLossMs() : 0;
    const bool inputMissing = RecordIO.RecordInputMissing && RecordIO.RecordInputMissing() != 0;
    const std::string input = State.Input;
    recordTime_.SetEnabled(false);
    view_.TurnReels(false);
    State.QueueRecordingFlag = false;
    State.WaitingForInput = false;
    view_.ResetMeters();
    State.Recording = false;
    view_.ShowElapsedTime(0, 0, 0);
    view_.ShowTitleAndToolTip("Kestrune");
    view_.LoadTrayIcon("ti.ico", true);
    view_.ShowStatus("Ready for your command ...");
    if (AfterStop)
        AfterStop();
    if (inputMissing)
        view_.ReportAfterStop(InputMissingText(input, stoppedFile));
    if (!failure.empty())
        ReportWriteFailure(stoppedFile, stoppedFormat, failure);
    if (lossMs != 0)
        view_.ReportAfterStop(LossText(stoppedFile, lossMs));
}

void TRecordingSession::EngineEvent(uintptr_t event)
{
    if (!State.Recording)
        return; // a report of an earlier recording
    switch (event) {
    case RECORD_WRITE_FAILED:
        // An earlier recording's report finds this one's file fine.
        if (!RecordErrorText().empty())
            Stop();
        break;
    case RECORD_INPUT_LOST:
        State.WaitingForInput = true;
        view_.ShowStatus(WaitingText);
        break;
    case RECORD_INPUT_BACK:
        State.WaitingForInput = false;
        if (!State.Paused)
            ShowRecordingStatus();
        else
            view_.ShowStatus(State.AutoPauseArmed ? "Auto Paused ..." : "Paused ...");
        break;
    default:
        break;
    }
}

void TRecordingSession::ReportWriteFailure(const std::string& path, const RecordingFormat& format,
    const std::string& reason)
{
    static constexpr AudioFileKind kinds[] = {akWav, akMp3, akWma};
    AudioFileInfo held;
    const int32_t type = std::clamp(EffectiveFormatOf(format).RecordType, 0, 2);
    const uint32_t heldMs = DescribeAudioFileAs(path, kinds[type], held) ? held.DurationMs : 0;
    view_.ReportAfterStop(WriteFailureText(path, reason, heldMs));
}

void TRecordingSession::RecordAndPause()
{
    Record();
    PauseButton();
}

void TRecordingSession::LevelArrived(uintptr_t wParam, intptr_t lParam)
{
    if (!State.Recording && !playback_.State.Playing)
        return;
    // The meters and their labels go out in one repaint, at the screen's pace at most.
    const framework::TRepaintPacer::Batch together(meters_.State.Repaints);
    const uint32_t now = platform::GetTickCount();
    const uint32_t left = static_cast<uint32_t>(std::min<uintptr_t>(wParam, UINT32_MAX));
    const int64_t right = lParam;

    // Automatic pause and resume listen to the left channel only.
    if (State.AutoPauseArmed && State.Recording) {
        const int64_t percent = LevelPercent(left);
        if (!State.Paused) {
            if (percent >= settings_.AutoPause.LowerLevel)
                State.QuietSince = 0;
            else if (State.QuietSince == 0)
                State.QuietSince = now;
            else if ((now - State.QuietSince) / 1000 >= static_cast<int64_t>(settings_.AutoPause.LowerTime))
                PauseOrResume(false);
        } else if (percent >= settings_.AutoPause.LouderLevel) {
            PauseOrResume(false);
        }
    }
    meters_.ShowLevels(left, right, now);
}
