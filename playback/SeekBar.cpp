// The seek bar: the knob and the time digits follow what is heard; dragging the knob and
// letting it go restarts playback there.
#include "SeekBar.h"

#include "app/Kestrune.h"

#include <QCursor>
#include <cmath>

int32_t KnobLeftFor(int32_t positionMs, uint32_t durationMs, int32_t trackLeft, int32_t trackRight)
{
    // Floating point rounded to nearest, halves to even (the default rounding mode).
    const double share = static_cast<double>(positionMs) / static_cast<double>(durationMs);
    return static_cast<int32_t>(std::nearbyint(share * (trackRight - trackLeft))) + trackLeft;
}

int32_t PositionForKnob(int32_t knobLeft, uint32_t durationMs, int32_t trackLeft, int32_t trackRight)
{
    const double share = static_cast<double>(knobLeft - trackLeft) / static_cast<double>(trackRight - trackLeft);
    return static_cast<int32_t>(std::nearbyint(share * durationMs));
}

int32_t DraggedKnobLeft(int32_t cursorX, int32_t dragStartLeft, int32_t dragStartCursorX, int32_t trackLeft,
    int32_t trackRight)
{
    const int32_t x = cursorX + dragStartLeft - dragStartCursorX;
    return x < trackLeft ? trackLeft : x > trackRight ? trackRight : x;
}

namespace {
void ShowSeconds(TKestrune& w, int32_t positionMs)
{
    const int32_t s = positionMs / 1000;
    w.ShowElapsedTime(s / 3600, (s % 3600) / 60, s % 60);
}
} // namespace

void TKestrune::ShowPlayPosition()
{
    if (State.Dragging || FileInfo.DurationMs == 0)
        return;
    const auto length = static_cast<int64_t>(FileInfo.DurationMs);
    State.PositionMs = static_cast<int32_t>(std::clamp<int64_t>(State.PositionMs, 0, length));
    ShowSeconds(*this, State.PositionMs);
    imTrackButton->move(KnobLeftFor(State.PositionMs, FileInfo.DurationMs, State.TrackLeft, State.TrackRight),
        imTrackButton->Top());
}

void TKestrune::PositionFromTrackButton()
{
    if (FileInfo.DurationMs == 0) {
        ShowElapsedTime(0, 0, 0);
        return;
    }
    State.PositionMs = PositionForKnob(imTrackButton->Left(), FileInfo.DurationMs, State.TrackLeft, State.TrackRight);
    ShowSeconds(*this, State.PositionMs);
}

void TKestrune::imTrackButtonMouseDown(framework::TMouseButton, Qt::KeyboardModifiers, int, int)
{
    State.Dragging = true;
    const QPoint cursor = QCursor::pos();
    State.DragStartCursor = {cursor.x(), cursor.y()};
    State.DragStartLeft = imTrackButton->Left();
    // Moves and the release reach the knob wherever the cursor goes.
    imTrackButton->grabMouse();
}

void TKestrune::imTrackButtonMouseMove(Qt::KeyboardModifiers, int, int)
{
    if (!State.Dragging)
        return;
    const int32_t x = DraggedKnobLeft(QCursor::pos().x(), State.DragStartLeft, State.DragStartCursor.x,
        State.TrackLeft, State.TrackRight);
    imTrackButton->move(x, imTrackButton->Top());
}

void TKestrune::imTrackButtonMouseUp(framework::TMouseButton, Qt::KeyboardModifiers, int, int)
{
    State.Dragging = false;
    imTrackButton->releaseMouse();
    if (!State.Playing)
        return;
    PositionFromTrackButton();
    StartPlaybackAt(State.PositionMs);
}
