#pragma once
// The playback's run-time state, owned by TPlayback for the whole run. Everything starts at
// zero or empty.
#include "framework/RecorderView.h"

#include <cstdint>

struct PlaybackState {
    bool Playing = false;           // the wave device is open and being fed
    int32_t PositionMs = 0;         // playback position: where play starts, where a continued recording goes on
    uint32_t PlayLengthMs = 0;      // the file's length when Play or Resume was pressed: the end
    int32_t BuffersOutstanding = 0; // buffers handed to the device and not yet released
    int64_t PlayedFrame = 0;        // absolute frame up to which buffers have come back
    uint32_t FramesQueued = 0;      // frames read since this playback began, before any cut
    uint32_t FramesToPlay = 0;      // frames from the start position to the end
    bool Finishing = false;         // no further block is read; returned buffers are released
    bool Resetting = false;         // the device is being reset: the position stays
    bool Interrupted = false;       // stopped for a pause or a seek: the end steps leave the window be
    // What the play button shows; anything but Play means a playback exists (playing or paused).
    PlayButtonLook Button = PlayButtonLook::Play;
};
