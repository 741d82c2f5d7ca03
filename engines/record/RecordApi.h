#pragma once
// The recording library's C-style interface. The program reaches it only through the slots
// of its binding; nothing here knows a window. Callable from the window thread; the level
// report arrives on the library's writer thread.
#include <cstdint>

extern "C" {

// Six 32-bit integers, in this order.
struct StartRecordParams {
    int32_t Format;       // 0 WAV, 1 MP3, 2 WMA
    int32_t SampleRate;   // Hz, 8000 to 192000
    int32_t Channels;     // 1 or 2
    int32_t BufferSize;   // bytes of one capture block (rounded down to whole sample frames)
    int32_t BufferNumber; // capture blocks the queue between capture and writer holds (at least 2 s)
    int32_t Bitrate;      // kbit/s for MP3 and WMA; ignored for WAV
};

// Starts capturing into path. append 1 continues the existing WAV or MP3 file from startMs
// (WMA cannot be continued). existingLengthMs is the caller's length of that file; the
// engine reads what it needs from the file itself. Non-zero when capture has started; on a
// refusal no file is created and an existing one is untouched.
uint8_t StartRecord(const StartRecordParams* params, const char* path, int32_t append, int32_t startMs,
    uint32_t existingLengthMs);
// The input the following StartRecords capture from: the sound server's source name (a
// monitor of an output is a source too); null or "" is the server's default input. A source
// the server does not have at the start records the default input instead. Capture through
// SDL (no server answers) takes SDL's default device whatever this says.
void SetRecordInput(const char* source);
// 1 when the running or last stopped recording was to capture from an input that the server
// did not have, and captured from the default input instead; 0 otherwise.
uint8_t RecordInputMissing();

// Pause keeps capturing (for the levels) but writes nothing until Resume. Out-of-order calls
// do nothing.
void PauseRecord();
void ResumeRecord();
// Stops capture, writes what is queued and closes the file: complete when this returns.
void StopRecord();

// Why the last StartRecord refused ("the sound server did not open the input: ...", "cannot
// create ..."), or why the running or last stopped recording's file stopped taking audio
// (the system's reason: "No space left on device"); "" when neither. The text stays valid
// until the next call into the library.
const char* RecordLastError();

// The sound the last finished recording lost, in milliseconds (rounded): frames the sound
// server or the device dropped, or that the writer could not take in time. 0 for a complete
// recording; set by StopRecord, cleared by a successful StartRecord.
uint32_t RecordLossMs();

// Calls back once per WMA format (bitrate in bit/s, channels, rate in Hz) that can be
// written, before returning.
typedef void (*WmaFormatCallback)(int32_t bitrate, int32_t channels, int32_t sampleRate);
void EnumWMAFormat(WmaFormatCallback callback);

// How levels are reported: for every captured block, running or paused, the peak magnitude
// of the left and right channel (0 to 32768; a mono block gives its one value twice).
// Called on the writer thread; must not block for long. Null stops the reports.
typedef void (*LevelReport)(void* context, uint32_t left, uint32_t right);
void SetLevelReport(LevelReport report, void* context);

// What happens to a running recording, reported when it happens, on a thread of the
// library's; must not block. Null stops the reports.
// RECORD_WRITE_FAILED (once): the file stopped taking audio (a full disk, a failed write);
//   RecordLastError says why. Capture goes on until StopRecord, which makes the file complete.
// RECORD_INPUT_LOST: the sound server went away; the library connects again every half second
//   and the time without sound counts as lost. RECORD_INPUT_BACK: capture runs again, into
//   the same file.
enum { RECORD_WRITE_FAILED = 1, RECORD_INPUT_LOST = 2, RECORD_INPUT_BACK = 3 };
typedef void (*RecordEventReport)(void* context, int32_t event);
void SetRecordEventReport(RecordEventReport report, void* context);

} // extern "C"
