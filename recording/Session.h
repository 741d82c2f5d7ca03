#pragma once
// The recording session: start, pause, resume, stop and continue, the file-exists question,
// the target's name, the record-time tick with the automatic stop, and the automatic pause
// and resume on the level. Its rules that need no window come first: the format check, the
// texts, the engine's start parameters.
#include "RecorderState.h"
#include "platform/SleepInhibitor.h"
#include "engines/record/RecordApi.h"
#include "settings/RecorderSettings.h"

#include <cstdint>
#include <functional>
#include <string>

class QWidget;
class RecorderView;
class TLevelMeters;
class TPlayback;
namespace framework {
class TSaveDialog;
class TTimer;
} // namespace framework

// A target's extension must not belong to one of the two other formats: ".wav" only under
// WAV, ".mp3" only under MP3, ".wma" only under WMA (any case). Other extensions, or none, fit.
bool ExtensionFitsFormat(const std::string& path, const RecordingFormat& format);

// hh:mm:ss of whole seconds; hours of 100 and more keep all their digits.
std::string ElapsedTimeText(uint32_t elapsedSec);

// "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ..." and its kin; "Queue
// Recording ..." for a scheduled recording.
std::string RecordingStatusText(bool queued, const RecordingFormat& format);

// The six values the engine is started with.
StartRecordParams StartParamsOf(const RecordingFormat& format);

// Whole seconds recorded at tick now: the running stretch since runStartTick plus the banked
// milliseconds, all unsigned and wrapping, so a wrap of the tick count does no harm.
uint32_t ElapsedSeconds(uint32_t now, uint32_t runStartTick, uint32_t bankedMs);

// The message after a recording that lost sound: the path and the missing time in seconds
// with one decimal (at least 0.1 for any loss).
std::string LossText(const std::string& path, uint32_t lossMs);

// The message after a recording whose file could not be written on: the path, the system's
// reason and the length the file holds, in seconds with one decimal.
std::string WriteFailureText(const std::string& path, const std::string& reason, uint32_t heldMs);

// The message after a recording whose chosen input was not there: the input's name and the path.
std::string InputMissingText(const std::string& input, const std::string& path);

// Where the record command records: by the settings (an automatic name when they say so),
// or into the target chosen already.
enum class RecordTarget { ByTheSettings, AsChosen };

// One start of the engine: into Target with Format, from the beginning or continuing a file.
struct RecordingStart {
    std::string Target;
    RecordingFormat Format;
    bool Queued = false;           // started by the schedule
    int32_t AppendMode = 0;        // 1: continue the existing file
    int32_t StartPosMs = 0;        // where in the continued file recording goes on
    uint32_t ExistingLengthMs = 0; // length of the file being continued
};

// Owned by the main window; window thread only. It pauses and stops the playback for a
// recording, draws the levels on the meters, shows itself through the view and runs the
// record-time timer; dialogs are centred on `owner`.
class TRecordingSession {
public:
    TRecordingSession(RecorderSettings& settings, TPlayback& playback, TLevelMeters& meters, RecorderView& view,
        framework::TTimer& recordTime, framework::TSaveDialog& saveDialog, QWidget& owner);

    RecorderState State;
    // Runs at the very end of every stop, before the loss is told: a due queue entry may begin.
    std::function<void()> AfterStop;

    // The record command: chooses the target (automatic name, file selection, the file-exists
    // question), stops the playback and starts. AsChosen keeps the target already chosen
    // (a file named on the command line) even with automatic names on.
    void Record(RecordTarget target = RecordTarget::ByTheSettings);
    // The record command, then the pause command.
    void RecordAndPause();
    // The pause button: pauses or resumes, and with automatic pause on switches the watch.
    void PauseButton();
    // The stop command: the engine stops, the window shows the ready state; a file that could
    // not be written on and lost sound are told after.
    void Stop();
    // WM_RECORD_EVENT from the engine: a file that stops taking audio ends the recording as
    // the stop command does; while the sound server is away the status line says so.
    void EngineEvent(uintptr_t event);
    // Every 200 ms while recording: the elapsed time, the automatic stop, a queued length.
    void Tick();
    // Starts the engine; on success the window shows the recording; false (after an error
    // box) when the engine refuses, with nothing changed.
    bool StartRecording(const RecordingStart& start);
    // Title, tooltip, tray picture and status line of a running recording.
    void ShowRecordingStatus();
    // Pauses a running recording or resumes a paused one; manual is false for the automatic
    // pause and resume of the level watch.
    void PauseOrResume(bool manual);
    // The file selection command.
    void SelectFile();
    // The target from now on, shown in the file-name label.
    void ChooseTarget(const std::string& path);
    // A full path from the auto-name settings and the clock; empty when no part is chosen.
    // Creates the folder (throws "Unable to create directory" when it cannot).
    std::string MakeAutoFileName() const;
    // WM_LEVEL while recording or playing: wParam the left, lParam the right level, 0
    // (silence) to 32768 (full scale). The automatic pause and resume on the left level,
    // then the meters.
    void LevelArrived(uintptr_t wParam, intptr_t lParam);

    // The machine is kept awake for this recording (tests look).
    bool KeepsAwake() const { return sleepLock_.Held(); }

private:
    // On the record-time tick: stops the recording when the set duration is reached; true
    // when it did.
    bool AutoStopReached();
    // Holds the sleep lock, naming the target.
    void KeepAwake();
    // After a stop: why the file stopped taking audio, and what it holds.
    void ReportWriteFailure(const std::string& path, const RecordingFormat& format, const std::string& reason);

    // Held while the recording can write: running, or paused automatically and waiting for
    // sound; not while the user has paused it.
    platform::SleepInhibitor sleepLock_;
    RecorderSettings& settings_;
    TPlayback& playback_;
    TLevelMeters& meters_;
    RecorderView& view_;
    framework::TTimer& recordTime_;
    framework::TSaveDialog& saveDialog_;
    QWidget& owner_;
};
