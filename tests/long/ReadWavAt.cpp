// Describes a WAV file with the program's own reader and reads the frame at a position, as a
// playback from there would begin.
//
// Usage: read_wav_at FILE MS
// Prints "length MS" and "frame LEFT RIGHT" (the first frame read, as unsigned 16-bit values).
// Exit: 0 read, 1 bad arguments, 2 not described, 3 not read.
#include "playback/mp3io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 1;
    AudioFileInfo info;
    if (!DescribeAudioFile(argv[1], info))
        return 2;
    std::printf("length %u\n", info.DurationMs);
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    const bool read = OpenAudioReader(argv[1], info, std::atoi(argv[2])) && ReadAudioBlock(info, block, size) && size >= 4;
    if (read) {
        uint16_t frame[2];
        std::memcpy(frame, block, 4);
        std::printf("frame %u %u\n", frame[0], frame[1]);
    }
    CloseAudioReader(info);
    return read ? 0 : 3;
}
