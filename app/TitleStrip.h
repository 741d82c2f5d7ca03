#pragma once
// The title strip across the top of the skin stands in for a caption bar: a press on it moves
// the window, and four glyph zones at its right end act on release. Coordinates are the
// window's client pixels; width is the window's width.
#include <QPoint>
#include <cstdint>

enum class TitleZone { None, About, Help, Minimize, Close };

// Height of the strip, in pixels.
inline constexpr int TitleStripHeight = 20;

// A press here starts moving the window: the strip, left of the glyph zones.
bool PressStartsWindowDrag(int x, int y, int width);

// The glyph zone under a release, or None (also for the pixels between the zones).
TitleZone TitleZoneAt(int x, int y, int width);

// Moving the window by its title strip.
struct TitleDrag {
    bool WindowDragging = false;
    QPoint DragStartCursor; // the cursor's screen position at the press
    int32_t DragStartLeft = 0;
    int32_t DragStartTop = 0;
};
