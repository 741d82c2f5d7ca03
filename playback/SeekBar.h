#pragma once
// The seek bar's arithmetic, without a window: the knob's Left travels from trackLeft to
// trackRight over the length of the file.
#include <cstdint>

// The knob's Left for a position; rounded to the nearest pixel, halves to even.
int32_t KnobLeftFor(int32_t positionMs, uint32_t durationMs, int32_t trackLeft, int32_t trackRight);
// The position under a knob's Left; rounded to the nearest millisecond, halves to even.
int32_t PositionForKnob(int32_t knobLeft, uint32_t durationMs, int32_t trackLeft, int32_t trackRight);
// Where a dragged knob goes: it follows the cursor horizontally, held within the track.
int32_t DraggedKnobLeft(int32_t cursorX, int32_t dragStartLeft, int32_t dragStartCursorX, int32_t trackLeft,
    int32_t trackRight);
