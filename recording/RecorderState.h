#pragma once
// The recording session's run-time state, owned by TRecordingSession for the whole run.
// Everything starts at zero or empty. Tick counts are milliseconds, unsigned and wrapping.
#include "settings/RecorderSettings.h"

#include <cstdint>
#include <string>

struct RecorderState {
    std::string TargetFile;          // the file to record into; empty when none is chosen
    bool Recording = false;          // a recording is running or paused
    bool Paused = false;             // the running recording is paused (by hand or automatically)
    bool QueueRecordingFlag = false; // started by the schedule; cleared by the stop command
    uint32_t QueueLength = 0;        // seconds a scheduled recording lasts
    RecordingFormat Format;          // what the running recording writes
    uint32_t ElapsedSec = 0;         // whole seconds recorded, a continued file's start included
    bool AutoPauseArmed = false;     // automatic pause and resume watch the level
    uint32_t QuietSince = 0;         // tick at which the level fell below the lower threshold; 0 = not timing
    uint32_t RunStartTick = 0;       // tick at which the current running stretch began
    uint32_t BankedMs = 0;           // milliseconds before the current stretch, the start position included
    bool WaitingForInput = false;    // the sound server went away; the engine connects again
    std::string Input;               // the input the running recording was asked to take; "" the default
};
