// Where the window puts each element, in the window's client pixels (400 x 210).
#pragma once

#include <QPoint>
#include <QRect>

namespace art::layout {

inline constexpr int kWidth = 400;
inline constexpr int kHeight = 210;
inline constexpr int kTitleHeight = 20;

// The gold panel inside the green frame.
inline constexpr QRect kPanel(7, 23, 386, 180);

// The four glyph zones of the title strip (9 pixels wide each), left to right.
inline constexpr int kZoneLeft[] = {347, 359, 371, 383};
inline constexpr int kZoneWidth = 9;

// Reel controls; the frames turn about +30, +30 of these.
inline constexpr QPoint kReelLeft(21, 32);
inline constexpr QPoint kReelRight(318, 32);
inline constexpr int kReelBodyRadius = 28;

// Time digits, 15 x 30 each.
inline constexpr int kDigitLeft[] = {146, 162, 186, 202, 226, 242};
inline constexpr int kDigitTop = 36;

// Labels that lie opaquely on the panel.
inline constexpr QRect kMaxL(84, 45, 59, 14);
inline constexpr QRect kMaxR(84, 56, 59, 14);
inline constexpr QRect kLeftDb(272, 45, 41, 14);
inline constexpr QRect kRightDb(272, 56, 41, 14);
inline constexpr QRect kFileName(84, 105, 245, 14);
inline constexpr QRect kStatusLabel(22, 173, 355, 14);

// Level meters, the seek bar and its knob, the status strip.
inline constexpr QRect kMeterLeft(86, 71, 228, 7);
inline constexpr QRect kMeterRight(86, 77, 228, 7);
inline constexpr QRect kTrackBar(16, 104, 370, 18);
inline constexpr QRect kTrackButton(16, 105, 30, 15);
inline constexpr QRect kStatus(20, 172, 360, 18);

// The button row: 32 x 32 buttons whose glyph sits at +6, +6.
inline constexpr int kButtonTop = 129;
inline constexpr int kButtonSize = 32;
inline constexpr int kButtonLeft[] = {25, 65, 105, 161, 201, 257, 297, 337};

} // namespace art::layout
