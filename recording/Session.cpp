// The recording session: start, pause and resume, the record-time tick, stop, and the texts
// that say what is going on.
#include "Session.h"

#include "FileExists.h"
#include "RecordIO.h"
#include "app/Kestrune.h"
#include "framework/Application.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TickCount.h"
#include "playback/mp3io.h"
#include "schedule/CommFunc.h"

#include <QPushButton>
#include <algorithm>
#include <cstdio>

namespace {

void ErrorBox(const std::string& text)
{
    framework::Application().MessageBox(text, "Error", framework::MB_OK | framework::MB_ICONERROR);
}

constexpr const char* CantStartText = "Can't start recording, possible reason:\n"
                                      "1.Other programs are using recording device, please close it and try again.\n"
                                      "2.Audio device problem.";

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

bool TKestrune::PlaybackOpen() const
{
    return tbPlayIt->ImageIndex() == 4;
}

void TKestrune::tbRecordClick()
{
    if (State.Recording)
        return;
    // Only a Continue choice below makes this start continue a file.
    State.AppendMode = 0;
    State.StartPosMs = 0;
    // The playback's position stays put while the user decides.
    if (PlaybackOpen() && State.Playing)
        tbPlayItClick();

    if (Settings.AutoName.Enable) {
        State.TargetFile = MakeAutoFileName();
        ShowFileName(State.TargetFile);
    }
    if (State.TargetFile.empty() || !ExtensionFitsFormat(State.TargetFile, Settings.Format)) {
        State.TargetFile.clear();
        lbFileName->SetCaption("");
        lbFileName->SetHint("");
        tbOpenClick();
        // Every dialog and box below runs its own loop, in which the schedule may begin a
        // recording: then this command ends at once and leaves that recording's target be.
        if (State.Recording || State.TargetFile.empty())
            return;
    }

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
            TfmFileExists dialog(this);
            if (Settings.Format.UseWma)
                dialog.btnContinuedRec->setEnabled(false);
            if (PlaybackOpen())
                dialog.btnContinuedRec->setText("Continued Record From Current Position");
            dialog.lbFileName->SetCaption(State.TargetFile);
            dialog.ShowModal();
            choice = dialog.Choice;
        }
        if (choice == fcCancel || State.Recording)
            return;
        if (choice == fcOverwrite) {
            State.AppendMode = 0;
            State.StartPosMs = 0;
            asideFrom = State.TargetFile;
            aside = platform::MoveAside(State.TargetFile);
            if (aside.empty() && !platform::DeleteFile(State.TargetFile)) {
                ErrorBox("Can't access file : " + State.TargetFile);
                return;
            }
            break;
        }
        if (choice == fcContinue) {
            // Appending from a length the file does not have would destroy its audio.
            if (!DescribeAudioFile(State.TargetFile, FileInfo)) {
                ErrorBox("Can't continue file : " + State.TargetFile);
                return;
            }
            State.AppendMode = 1;
            State.ExistingLengthMs = FileInfo.DurationMs;
            State.StartPosMs = PlaybackOpen() ? State.PositionMs : static_cast<int32_t>(FileInfo.DurationMs);
            break;
        }
        tbOpenClick(); // Select New File, or the dialog closed: the same name unless one is chosen
        if (State.Recording)
            return;
    }

    if (State.Recording) {
        settleAside(false);
        return;
    }
    tbStopPlaybackClick();
    const bool started = StartRecording();
    settleAside(started);
    if (started)
        ShowRecordingStatus();
}

bool TKestrune::StartRecording()
{
    const StartRecordParams params = StartParamsOf(Settings.Format);
    const int32_t startPosMs = State.StartPosMs;
    const bool started = RecordIO.StartRecord(&params, State.TargetFile.c_str(), State.AppendMode, startPosMs,
                             State.ExistingLengthMs) != 0;
    // A continue is for this one start only.
    State.AppendMode = 0;
    State.StartPosMs = 0;
    if (!started) {
        ErrorBox(CantStartText);
        return false;
    }
    State.ElapsedSec = static_cast<uint32_t>(startPosMs / 1000);
    State.AutoPauseArmed = Settings.AutoPause.Enable;
    StartReelAnimation();
    ShowElapsedSeconds(State.ElapsedSec);
    tmRecordTime->SetEnabled(true);
    State.RunStartTick = platform::GetTickCount();
    State.BankedMs = static_cast<uint32_t>(startPosMs);
    State.Recording = true;
    State.Paused = false;
    State.QuietSince = 0;
    return true;
}

void TKestrune::ShowRecordingStatus()
{
    ShowTitleAndToolTip("Recording(" + ElapsedTimeText(State.ElapsedSec) + ")");
    LoadTrayIcon("ti_rec.ico", false);
    State.StatusText = RecordingStatusText(State.QueueRecordingFlag, Settings.Format);
    ShowStatus(State.StatusText);
}

void TKestrune::tmRecordTimeTimer()
{
    State.ElapsedSec = ElapsedSeconds(platform::GetTickCount(), State.RunStartTick, State.BankedMs);
    if (AutoStopReached())
        return;
    ShowElapsedSeconds(State.ElapsedSec);
    ShowTitleAndToolTip("Recording(" + ElapsedTimeText(State.ElapsedSec) + ")");
    LoadTrayIcon("ti_rec.ico", false);
    if (State.QueueRecordingFlag && State.ElapsedSec >= State.QueueLength)
        btnStopClick();
}

void TKestrune::tbPauseClick()
{
    if (!Settings.AutoPause.Enable) {
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
            State.StatusText = "Paused ...";
            ShowTitleAndToolTip("Paused(" + ElapsedTimeText(State.ElapsedSec) + ")");
            LoadTrayIcon("ti_rec_p.ico", true);
            ShowStatus(State.StatusText);
        }
    } else if (State.Paused) {
        PauseOrResume(true);
    }
    State.AutoPauseArmed = !State.AutoPauseArmed;
}

void TKestrune::PauseOrResume(bool manual)
{
    if (!State.Recording)
        return;
    if (State.Paused) {
        State.Paused = false;
        tmRecordCircle->SetEnabled(true);
        tmRecordTime->SetEnabled(true);
        State.RunStartTick = platform::GetTickCount();
        RecordIO.ResumeRecord();
        ShowRecordingStatus();
        if (manual)
            tbPause->SetHint("Pause Recording");
        return;
    }
    State.Paused = true;
    tmRecordCircle->SetEnabled(false);
    tmRecordTime->SetEnabled(false);
    // The stretch up to the pause is kept; the pause itself is never counted.
    State.BankedMs += platform::GetTickCount() - State.RunStartTick;
    RecordIO.PauseRecord();
    ShowTitleAndToolTip("Paused(" + ElapsedTimeText(State.ElapsedSec) + ")");
    LoadTrayIcon("ti_rec_p.ico", true);
    State.StatusText = manual ? "Paused ..." : "Auto Paused ...";
    if (manual)
        tbPause->SetHint("Resume Recording");
    ShowStatus(State.StatusText);
}

void TKestrune::btnStopClick()
{
    if (!State.Recording)
        return;
    RecordIO.StopRecord();
    const std::string stoppedFile = State.TargetFile;
    tmRecordTime->SetEnabled(false);
    StopReelAnimation();
    State.QueueRecordingFlag = false;
    ResetMeters();
    State.Recording = false;
    ShowElapsedTime(0, 0, 0);
    State.StatusText = "Ready for your command ...";
    ShowTitleAndToolTip("Kestrune");
    LoadTrayIcon("ti.ico", true);
    ShowStatus(State.StatusText);
    // A due queue entry may begin at once.
    tmQueueTimer();
    ReportRecordingLoss(stoppedFile);
}

void TKestrune::ReportRecordingLoss(const std::string& path)
{
    const uint32_t lossMs = RecordIO.RecordLossMs ? RecordIO.RecordLossMs() : 0;
    if (lossMs == 0)
        return;
    const std::string text = LossText(path, lossMs);
    if (QuittingOnSignal)
        std::fprintf(stderr, "kestrune: %s\n", text.c_str());
    else
        ErrorBox(text);
}

void TKestrune::tbrecandpauseClick()
{
    tbRecordClick();
    tbPauseClick();
}
