#pragma once
// The WMA file reader behind the C-style interface the program binds: ASF files with a
// Windows Media Audio 1 or 2 stream, described and read as 16-bit signed interleaved PCM at
// the file's own rate and channel count.
//
// Every function runs on the caller's thread (the main window's) and must not be called from
// two threads at once. None of them throws. Boolean results are one byte, non-zero = true.
#include <cstddef>
#include <cstdint>

// The program's 32-byte description of an audio file, field for field; the functions below
// take its address as void*.
struct WmaFileInfo {
    int32_t Kind;
    uint32_t SampleRate; // Hz
    uint32_t Channels;
    uint32_t Bitrate;    // kbit/s
    int32_t Reserved1, Reserved2, Reserved3;
    uint32_t DurationMs;
};
static_assert(sizeof(WmaFileInfo) == 32, "the record is handed over by address");
static_assert(offsetof(WmaFileInfo, DurationMs) == 28, "the record is handed over by address");

extern "C" {

// Describes the file at path into the 32-byte record at info: on success SampleRate,
// Channels, Bitrate and DurationMs are filled and the other fields left as they were; on
// failure (missing, empty, damaged, not ASF, no WMA 1/2 stream) the record is untouched. Uses
// a reader of its own: an open reader is not disturbed.
uint8_t CheckWMAFileInfo(const char* path, void* info);

// Opens the file at path for reading, positioned so that the first sample read is the one at
// startMs (negative: 0; past the end: the first read answers false). Any reader opened before
// is closed first. info (a copy of the description) is not needed: the library keeps its
// reader state itself.
uint8_t InitWMAReadFile(const char* path, void* info, int32_t startMs);

// The next block of PCM: *block points into the library's own 8192-byte buffer, valid until
// the next call; *size is its length in bytes, whole sample frames, 1 to 8192. False (with
// *block null and *size 0) at the end of the stream, on an error or with no reader open.
uint8_t ReadWMAFile(void* info, uint8_t** block, uint32_t* size);

// Closes the reader; harmless with none open.
void CloseWMAReadFile(void* info);

} // extern "C"
