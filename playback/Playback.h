#pragma once
// The playback engine's rules that need no window.
#include "AudioFileInfo.h"

#include <cstdint>
#include <string>

// "Playing Stereo 44100 Samples/Sec WAV Audio ..." and its kin, from the file's description.
std::string PlayingStatusText(const AudioFileInfo& info);

// Milliseconds to sample frames and back at rate, rounded to nearest, halves to even, in
// 64 bits. Frames before 0 are position 0.
uint64_t MsToFrames(uint64_t ms, uint32_t rate);
int32_t FramesToMs(int64_t frame, uint32_t rate);
