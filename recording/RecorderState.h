#pragma once
// The controller's run-time state, held by the main window for the whole run. Everything
// starts at zero or empty. Tick counts are milliseconds, unsigned and wrapping.
#include <cstdint>
#include <string>

// A screen position, in pixels.
struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct RecorderState {
    // --- The recording session ---
    std::string TargetFile;          // the file to record into; empty when none is chosen
    bool Recording = false;          // a recording is running or paused
    bool Paused = false;             // the running recording is paused (by hand or automatically)
    bool QueueRecordingFlag = false; // started by the schedule; cleared by the stop command
    uint32_t QueueLength = 0;        // seconds a scheduled recording lasts
    uint32_t ElapsedSec = 0;         // whole seconds recorded, a continued file's start included
    std::string StatusText;          // what the status line shows
    bool AutoPauseArmed = false;     // automatic pause and resume watch the level
    uint32_t QuietSince = 0;         // tick at which the level fell below the lower threshold; 0 = not timing
    int32_t AppendMode = 0;          // 1: the next start continues the existing file
    int32_t StartPosMs = 0;          // where in the continued file recording goes on
    uint32_t ExistingLengthMs = 0;   // length of the file being continued
    uint32_t RunStartTick = 0;       // tick at which the current running stretch began
    uint32_t BankedMs = 0;           // milliseconds before the current stretch, the start position included

    // --- Playback ---
    bool Playing = false;   // the wave device is open and being fed
    int32_t PositionMs = 0; // playback position: where play starts, where a continued recording goes on

    // --- Dragging the window by its title strip (and the seek knob, which shares the
    // cursor and left fields: the two drags never run at the same time) ---
    bool WindowDragging = false;
    TPoint DragStartCursor; // the cursor's screen position at the press
    int32_t DragStartLeft = 0;
    int32_t DragStartTop = 0;
};
