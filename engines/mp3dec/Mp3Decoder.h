#pragma once
// The MP3 decoder behind the C-style interface the program binds: raw MPEG audio files (with
// or without an ID3v2 tag at the front; CBR, or VBR with a Xing/Info header) decoded to
// 16-bit signed interleaved PCM at the file's own rate and channel count.
//
// One decoder for the whole process, holding one file at a time. Every function runs on the
// caller's thread (the main window's) and must not be called from two threads at once. None
// of them throws.
#include <cstdint>

extern "C" {

// 0 = the file at path is open and positioned so that the first decoded sample is the one at
// startMs (negative: 0; past the end: the first decode reports the end). Any file opened
// before is released first; after a failure nothing is open. Non-zero for a missing, empty,
// damaged or foreign file.
int32_t SB_InitMP3(const char* path, int32_t startMs);

// After a successful SB_InitMP3: sample rate (Hz), channels, bitrate (kbit/s; for VBR the
// file's average) and length (ms). Answers 0; with no file open, non-zero and all four 0.
// Null pointers are skipped.
int32_t SB_GetFrameInfo(int32_t* rate, int32_t* channels, int32_t* kbps, int32_t* lengthMs);

// 0 = a block of PCM was written into buffer and *size holds its bytes: whole sample frames,
// more than 0, never more than 8192. Non-zero (and *size = 0) at the end of the stream, on an
// error or with no file open. Audio decoded beyond the block is kept for the next call.
int32_t SB_decodeMP3(uint8_t* buffer, int32_t* size);

// Releases the file and the decoder; harmless with nothing open. Answers 0.
int32_t SB_ExitMP3();

} // extern "C"
