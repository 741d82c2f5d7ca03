#pragma once
// The seek bar: the knob and the time digits follow what is heard; dragging the knob and
// letting it go restarts the playback there. Its arithmetic, without a window, comes first:
// the knob's Left travels from trackLeft to trackRight over the length of the file.
#include <QPoint>
#include <cstdint>

class RecorderView;
class TPlayback;
namespace framework {
class TImage;
}

// The knob's Left for a position; rounded to the nearest pixel, halves to even.
int32_t KnobLeftFor(int32_t positionMs, uint32_t durationMs, int32_t trackLeft, int32_t trackRight);
// The position under a knob's Left; rounded to the nearest millisecond, halves to even.
int32_t PositionForKnob(int32_t knobLeft, uint32_t durationMs, int32_t trackLeft, int32_t trackRight);
// Where a dragged knob goes: it follows the cursor horizontally, held within the track.
int32_t DraggedKnobLeft(int32_t cursorX, int32_t dragStartLeft, int32_t dragStartCursorX, int32_t trackLeft,
    int32_t trackRight);

// Part of the playback, which it seeks; window thread only.
class TSeekBar {
public:
    TSeekBar(TPlayback& playback, framework::TImage& knob, RecorderView& view);

    // The knob travels between these Lefts; set once the window's elements stand.
    void SetTrack(int32_t trackLeft, int32_t trackRight);
    // The digits and the knob at positionMs, which is held within the file. Nothing moves
    // while the knob is dragged or without a file.
    void ShowPosition(int32_t& positionMs, uint32_t durationMs);

    void KnobMouseDown();
    void KnobMouseMove();
    // The drag ends; a playing playback goes on from the knob's place.
    void KnobMouseUp();
    // Ends a drag without seeking.
    void EndDrag();

    bool Dragging = false;   // the knob is being dragged
    int32_t TrackLeft = 0;   // the knob's leftmost Left
    int32_t TrackRight = 0;  // the knob's rightmost Left
    QPoint DragStartCursor;  // the cursor's screen position at the press
    int32_t DragStartLeft = 0;

private:
    void ShowSeconds(int32_t positionMs);

    TPlayback& playback_;
    framework::TImage& knob_;
    RecorderView& view_;
};
