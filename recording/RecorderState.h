#pragma once
// The controller's run-time state, held by the main window for the whole run.
#include <cstdint>

// A screen position, in pixels.
struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct RecorderState {
    // --- Dragging the window by its title strip (and the seek knob, which shares the
    // cursor and left fields: the two drags never run at the same time) ---
    bool WindowDragging = false;
    TPoint DragStartCursor; // the cursor's screen position at the press
    int32_t DragStartLeft = 0;
    int32_t DragStartTop = 0;
};
