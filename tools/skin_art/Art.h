// Every picture of the skin, each drawn by one function. Sizes are the ones the window
// loads, in window pixels; each picture is drawn at the current pixel ratio (Paint.h).
// Pictures with alpha are transparent where nothing is drawn.
#pragma once

#include <QImage>
#include <QList>

namespace art {

QImage MainBackground();   // 400 x 210, opaque
QImage DigitStrip();       // 150 x 30: ten 15 x 30 seven-segment digits, opaque
QImage ReelStrip();        // 720 x 60: twelve 60 x 60 frames of the turning spokes, alpha
QImage GlyphStrip();       // 360 x 20: eighteen 20 x 20 command glyphs, alpha
QImage TrackBar();         // 370 x 18 seek groove, opaque
QImage TrackButton();      // 30 x 15 seek knob, alpha
QImage StatusStrip();      // 360 x 18, opaque
QImage Logo();             // 32 x 32, alpha

// The tray's states; each icon comes at every size in kTraySizes.
enum class TrayState { Idle, Recording, RecordingPaused, Playing, PlayingPaused };
inline constexpr int kTraySizes[] = {16, 22, 24, 32, 48, 64};
QImage TrayIcon(TrayState state, int size);

// Writes one .ico holding all the images (one directory entry each); false on failure.
bool WriteIco(const QString& path, const QList<QImage>& images);

// The moving parts laid over the background at their window places, magnified, for review.
QImage Preview(int scale);

} // namespace art
