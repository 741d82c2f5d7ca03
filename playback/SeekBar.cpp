// The seek bar: the knob and the time digits follow what is heard; dragging the knob and
// letting it go restarts playback there.
#include "SeekBar.h"

#include "Playback.h"
#include "framework/Image.h"
#include "framework/RecorderView.h"

#include <QCursor>
#include <algorithm>
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

TSeekBar::TSeekBar(TPlayback& playback, framework::TImage& knob, RecorderView& view)
    : playback_(playback), knob_(knob), view_(view)
{
}

void TSeekBar::SetTrack(int32_t trackLeft, int32_t trackRight)
{
    TrackLeft = trackLeft;
    TrackRight = trackRight;
}

void TSeekBar::ShowSeconds(int32_t positionMs)
{
    const int32_t s = positionMs / 1000;
    view_.ShowElapsedTime(s / 3600, (s % 3600) / 60, s % 60);
}

void TSeekBar::ShowPosition(int32_t& positionMs, uint32_t durationMs)
{
    if (Dragging || durationMs == 0)
        return;
    positionMs = static_cast<int32_t>(std::clamp<int64_t>(positionMs, 0, static_cast<int64_t>(durationMs)));
    ShowSeconds(positionMs);
    knob_.move(KnobLeftFor(positionMs, durationMs, TrackLeft, TrackRight), knob_.Top());
}

void TSeekBar::KnobMouseDown()
{
    Dragging = true;
    DragStartCursor = QCursor::pos();
    DragStartLeft = knob_.Left();
    // Moves and the release reach the knob wherever the cursor goes.
    knob_.grabMouse();
}

void TSeekBar::KnobMouseMove()
{
    if (!Dragging)
        return;
    const int32_t x = DraggedKnobLeft(QCursor::pos().x(), DragStartLeft, DragStartCursor.x(), TrackLeft, TrackRight);
    knob_.move(x, knob_.Top());
}

void TSeekBar::KnobMouseUp()
{
    EndDrag();
    // A paused playback takes the knob's place too: the resume plays from there.
    if (!playback_.State.Playing && !playback_.Open())
        return;
    // The position under the knob.
    const uint32_t durationMs = playback_.FileInfo.DurationMs;
    if (durationMs == 0) {
        view_.ShowElapsedTime(0, 0, 0);
    } else {
        playback_.State.PositionMs = PositionForKnob(knob_.Left(), durationMs, TrackLeft, TrackRight);
        ShowSeconds(playback_.State.PositionMs);
    }
    if (playback_.State.Playing)
        playback_.StartAt(playback_.State.PositionMs);
}

void TSeekBar::EndDrag()
{
    Dragging = false;
    knob_.releaseMouse();
}
