#pragma once
// The description of an audio file: 32 bytes, eight 32-bit fields, a layout that is handed
// by address to the WMA library.
#include <cstdint>

// Kinds differ from the recording format numbers (WAV 0, MP3 1, WMA 2); never convert.
enum AudioFileKind : int32_t { akNone = 0, akMp3 = 1, akWav = 2, akWma = 3 };

struct AudioFileInfo {
    AudioFileKind Kind = akNone;
    uint32_t SampleRate = 0; // samples per second per channel
    uint32_t Channels = 0;   // 1 mono, 2 stereo
    uint32_t Bitrate = 0;    // kbit/s
    int32_t Reserved1 = 0;
    int32_t Reserved2 = 0;
    int32_t Reserved3 = 0;
    uint32_t DurationMs = 0; // length of the audio
};
static_assert(sizeof(AudioFileInfo) == 32, "the WMA library reads this record by address");
