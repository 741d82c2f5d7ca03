#pragma once
// A uniform view of WAV, MP3 and WMA files: describe one, and read one as a stream of 16-bit
// PCM blocks from a position, posting each block's average level to the main window. One
// reader at a time; window thread only.
#include "AudioFileInfo.h"

#include <cstdint>
#include <string>

namespace framework {
class TForm;
}

// The size of the one block buffer that WAV and MP3 blocks are produced in.
inline constexpr uint32_t AudioBlockBytes = 8192;

// Kind by the upper-cased extension (.MP3, .WAV, .WMA); any other shows "We can only accept
// mp3 and wav file" and leaves info as it was.
bool DescribeAudioFile(const std::string& path, AudioFileInfo& info);
// The same for a kind given, whatever the extension (a recording's target may have any).
bool DescribeAudioFileAs(const std::string& path, AudioFileKind kind, AudioFileInfo& info);

// The reader-open flag is set even when the open fails; close after every open.
bool OpenAudioReader(const std::string& path, AudioFileInfo info, int32_t startMs);
// The block stays valid until the next read or the close. A WAV file gives the bytes of its
// "data" chunk from the start frame, round(startMs x rate / 1000) with halves to even, and
// nothing of any chunk behind it.
bool ReadAudioBlock(AudioFileInfo info, const uint8_t*& block, uint32_t& size);
void CloseAudioReader(AudioFileInfo info);
// Why the last description or reader open failed, in a few words ("no data chunk").
const std::string& AudioReaderError();

// Where the level of each block is posted (WM_LEVEL); null posts nowhere.
void SetReaderLevelTarget(framework::TForm* form);

// The average absolute sample values of a block taken as pairs of 16-bit samples (a tail of
// fewer than 4 bytes is not looked at); a mono block gives the mean of both in each.
struct BlockAverage {
    uint32_t left = 0;
    uint32_t right = 0;
};
BlockAverage AverageLevels(const uint8_t* block, uint32_t size, uint32_t channels);

// The length of a 16-bit WAV's audio in ms, rounded with halves to even (0 for a rate or
// channel count of 0; past 49 days, the most 32 bits hold), and its bitrate figure (rate x
// channels x 2, shifted right by 7). The data may pass 4 GiB (RF64).
uint32_t WavDurationMs(uint64_t dataBytes, uint32_t rate, uint32_t channels);
uint32_t WavBitrate(uint32_t rate, uint32_t channels);
