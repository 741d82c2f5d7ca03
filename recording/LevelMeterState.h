#pragma once
// The level meters' state, owned by TLevelMeters: the maxima, the bars and the bitmaps the
// bars are composed from.
#include <QImage>
#include <cstdint>

namespace framework {
class TRepaintPacer;
}

struct LevelMeterState {
    int32_t MaxLeftDb = 0; // highest level in whole dB since the last reset; 0 = none yet
    int32_t MaxRightDb = 0;
    int32_t LeftBar = 0; // the bar's highest lit column, 0 to 76
    int32_t RightBar = 0;
    int32_t DrawnLeftBar = -1; // the bar each meter's picture shows; -1: none (all unlit)
    int32_t DrawnRightBar = -1;
    uint32_t LastLabelTick = 0; // tick of the last "L:" / "R:" label update

    // All three at the meter images' size (228 x 7), from window creation to close.
    QImage WorkSurface; // where a bar is composed before it is copied to a meter image
    QImage Unlit;       // the empty meter
    QImage Lit;         // the fully lit meter

    // The meter images' and their labels' repaints, at most one per refresh of the screen,
    // while their state follows every message. A child of the window, made with the bitmaps.
    framework::TRepaintPacer* Repaints = nullptr;
};
