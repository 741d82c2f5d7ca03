// The behaviour's handlers, where a reader looks first: each goes one step down into the
// subsystem that owns it.
#include "Kestrune.h"

// ---- Recording session (recording/Session.cpp, recording/Naming.cpp) ----------------------

void TKestrune::tbRecordClick() { Session->Record(); }
void TKestrune::tbPauseClick() { Session->PauseButton(); }
void TKestrune::btnStopClick() { Session->Stop(); }
void TKestrune::tbrecandpauseClick() { Session->RecordAndPause(); }
void TKestrune::tmRecordTimeTimer() { Session->Tick(); }
void TKestrune::tbOpenClick() { Session->SelectFile(); }
void TKestrune::WMLevel(framework::TMessage& message) { Session->LevelArrived(message.WParam, message.LParam); }
void TKestrune::WMRecordEvent(framework::TMessage& message) { Session->EngineEvent(message.WParam); }

// ---- Schedule (schedule/Runner.cpp) ----------------------------------------------------------

void TKestrune::tmQueueTimer() { Runner->Check(); }

// ---- Playback (playback/Playback.cpp, playback/SeekBar.cpp) ---------------------------------

void TKestrune::tbPlayItClick() { Playback->PlayOrPause(Session->State.TargetFile); }
void TKestrune::tbStopPlaybackClick() { Playback->Stop(); }
void TKestrune::PlayIt1Click() { tbPlayItClick(); }
void TKestrune::StopPlayback1Click() { tbStopPlaybackClick(); }
void TKestrune::ShowPlayPosition() { Playback->ShowPosition(); }

void TKestrune::MMWomDone(framework::TMessage& message)
{
    Playback->BufferDone(reinterpret_cast<platform::WaveOut*>(message.WParam),
        reinterpret_cast<platform::WaveHeader*>(message.LParam));
}

void TKestrune::imTrackButtonMouseDown(framework::TMouseButton, Qt::KeyboardModifiers, int, int)
{
    Playback->SeekBar.KnobMouseDown();
}

void TKestrune::imTrackButtonMouseMove(Qt::KeyboardModifiers, int, int) { Playback->SeekBar.KnobMouseMove(); }

void TKestrune::imTrackButtonMouseUp(framework::TMouseButton, Qt::KeyboardModifiers, int, int)
{
    Playback->SeekBar.KnobMouseUp();
}
