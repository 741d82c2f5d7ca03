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
    bool Playing = false;          // the wave device is open and being fed
    int32_t PositionMs = 0;        // playback position: where play starts, where a continued recording goes on
    uint32_t PlayLengthMs = 0;     // the file's length when Play or Resume was pressed: the end
    int32_t BuffersOutstanding = 0; // buffers handed to the device and not yet released
    int64_t PlayedFrame = 0;       // absolute frame up to which buffers have come back
    uint32_t FramesQueued = 0;     // frames read since this playback began, before any cut
    uint32_t FramesToPlay = 0;     // frames from the start position to the end
    bool Finishing = false;        // no further block is read; returned buffers are released
    bool Resetting = false;        // the device is being reset: the position stays
    bool Interrupted = false;      // stopped for a pause or a seek: the end steps leave the window be

    // --- The seek bar ---
    bool Dragging = false;   // the knob is being dragged
    int32_t TrackLeft = 0;   // the knob's leftmost Left
    int32_t TrackRight = 0;  // the knob's rightmost Left

    // --- Dragging the window by its title strip (and the seek knob, which shares the
    // cursor and left fields: the two drags never run at the same time) ---
    bool WindowDragging = false;
    TPoint DragStartCursor; // the cursor's screen position at the press
    int32_t DragStartLeft = 0;
    int32_t DragStartTop = 0;
};
