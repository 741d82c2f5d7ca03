#pragma once
// The recording session's rules that need no window: the format check, the texts, the
// engine's start parameters.
#include "engines/record/RecordApi.h"
#include "settings/RecorderSettings.h"

#include <cstdint>
#include <string>

// A target's extension must not belong to one of the two other formats: ".wav" only under
// WAV, ".mp3" only under MP3, ".wma" only under WMA (any case). Other extensions, or none, fit.
bool ExtensionFitsFormat(const std::string& path, const RecordingFormat& format);

// hh:mm:ss of whole seconds; hours of 100 and more keep all their digits.
std::string ElapsedTimeText(uint32_t elapsedSec);

// "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ..." and its kin; "Queue
// Recording ..." for a scheduled recording.
std::string RecordingStatusText(bool queued, const RecordingFormat& format);

// The six values the engine is started with.
StartRecordParams StartParamsOf(const RecordingFormat& format);

// Whole seconds recorded at tick now: the running stretch since runStartTick plus the banked
// milliseconds, all unsigned and wrapping, so a wrap of the tick count does no harm.
uint32_t ElapsedSeconds(uint32_t now, uint32_t runStartTick, uint32_t bankedMs);

// The message after a recording that lost sound: the path and the missing time in seconds
// with one decimal (at least 0.1 for any loss).
std::string LossText(const std::string& path, uint32_t lossMs);
