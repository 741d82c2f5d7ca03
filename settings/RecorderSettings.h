#pragma once
// Every persisted option of the recorder, held by the main window for the whole run and read
// and written directly (no change notification). Defaults are those of a missing set.ini.
#include <cstdint>
#include <string>

// What the next recording is made in. When UseWma is true the recording is WMA with the three
// Wma values, whatever RecordType says; otherwise RecordType with SampleRate, Channels and
// Mp3Rate. The buffer values apply to both.
struct RecordingFormat {
    int32_t RecordType = 1;    // 0 WAV, 1 MP3, 2 WMA (the last set only by the schedule)
    int32_t Channels = 2;      // 1 mono, 2 stereo (WAV and MP3)
    int32_t SampleRate = 44100; // samples per second (WAV and MP3)
    int32_t Mp3Rate = 128;     // kbit/s
    int32_t BufferNumber = 16; // capture buffers, handed to the engine unchanged
    int32_t BufferSize = 2000; // size of one capture buffer, handed to the engine unchanged
    bool UseWma = true;
    int32_t WmaSamplePerSec = 44100;
    int32_t WmaChannels = 2;   // 1 mono, anything else stereo
    int32_t WmaBitrate = 64;   // kbit/s
};

struct AutoPauseSettings {
    bool Enable = false;
    int32_t LowerLevel = 5;  // percent: quieter than this for LowerTime seconds pauses
    int32_t LowerTime = 5;   // seconds
    int32_t LouderLevel = 5; // percent: louder than this resumes an automatic pause
};

struct AutoNameSettings {
    bool Enable = false;
    bool Year = true;
    bool Month = true;
    bool Day = true;
    bool Hour = true;
    bool Minute = true;
    bool Second = true;
    std::string Path; // folder of automatic names; DefaultAutoNamePath() when no file says otherwise
};

struct AutoStopSettings {
    bool Enable = false;
    int32_t Hour = 0;
    int32_t Minute = 10;
    int32_t Second = 0;
};

struct RecorderSettings {
    RecorderSettings();

    RecordingFormat Format;
    AutoPauseSettings AutoPause;
    AutoNameSettings AutoName;
    AutoStopSettings AutoStop;
    int32_t Advanced = 0; // kept and written back; nothing else reads it
    // The sound server's source that recordings capture from; empty: the server's default.
    std::string Input;
};

// The user's home folder with its trailing separator.
std::string DefaultAutoNamePath();

// The format a recording is actually made in, by the UseWma rule.
struct EffectiveFormat {
    int32_t RecordType; // 0 WAV, 1 MP3, 2 WMA
    int32_t SampleRate;
    int32_t Channels;
    int32_t Bitrate; // kbit/s: Mp3Rate, or WmaBitrate for WMA
};
EffectiveFormat EffectiveFormatOf(const RecordingFormat& format);
