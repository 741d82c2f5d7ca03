#include "Mp3Frames.h"

#include <algorithm>
#include <cstring>

namespace record {
namespace {
constexpr int Mpeg1Bitrates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int Mpeg2Bitrates[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int Mpeg1Rates[4] = {44100, 48000, 32000, 0};

bool IsInfoFrame(const uint8_t* p, const Mp3Frame& frame, bool mpeg1)
{
    // The tag follows the side information: 32/17 bytes (MPEG-1) or 17/9 (MPEG-2/2.5).
    const size_t side = mpeg1 ? (frame.channels == 2 ? 32 : 17) : (frame.channels == 2 ? 17 : 9);
    const size_t at = 4 + side;
    return frame.length >= at + 4 && (std::memcmp(p + at, "Xing", 4) == 0 || std::memcmp(p + at, "Info", 4) == 0);
}
} // namespace

std::optional<Mp3Frame> ParseMp3Frame(const uint8_t* p, size_t available)
{
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return std::nullopt;
    const int version = (p[1] >> 3) & 3; // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
    const int layer = (p[1] >> 1) & 3;   // 1 is layer III
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    const bool mpeg1 = version == 3;
    Mp3Frame frame;
    frame.bitrateKbps = mpeg1 ? Mpeg1Bitrates[bitrateIndex] : Mpeg2Bitrates[bitrateIndex];
    frame.sampleRate = Mpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    frame.channels = (p[3] >> 6) == 3 ? 1 : 2;
    frame.samplesPerFrame = mpeg1 ? 1152 : 576;
    const int padding = (p[2] >> 1) & 1;
    frame.length = static_cast<size_t>((mpeg1 ? 144 : 72) * frame.bitrateKbps * 1000 / frame.sampleRate + padding);
    return frame;
}

size_t Id3v2Size(const uint8_t* data, size_t size)
{
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0)
        return 0;
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80)
            return 0; // not a sync-safe size: no tag
    const size_t body = (size_t{data[6]} << 21) | (size_t{data[7]} << 14) | (size_t{data[8]} << 7) | data[9];
    const size_t footer = (data[5] & 0x10) ? 10 : 0;
    const size_t total = 10 + body + footer;
    return total <= size ? total : size;
}

Mp3Cut FindMp3Cut(const std::vector<uint8_t>& file, int64_t startMs)
{
    Mp3Cut cut;
    const uint8_t* data = file.data();
    const size_t size = file.size();
    const uint64_t limit = static_cast<uint64_t>(std::max<int64_t>(startMs, 0));
    size_t at = Id3v2Size(data, size);
    cut.offset = at; // no audio at all: new frames follow the tag
    uint64_t samples = 0; // audio before the frame at `at`
    bool firstFrame = true;
    bool stoppedByTime = false;
    while (at < size) {
        const auto frame = ParseMp3Frame(data + at, size - at);
        if (!frame || at + frame->length > size) {
            if (!firstFrame)
                break; // junk or a tag after the audio: the audio ends here
            ++at;      // junk before the first frame: look further for the sync
            continue;
        }
        const bool mpeg1 = ((data[at + 1] >> 3) & 3) == 3;
        if (firstFrame && IsInfoFrame(data + at, *frame, mpeg1)) {
            firstFrame = false;
            at += frame->length;
            cut.offset = at;
            continue;
        }
        firstFrame = false;
        if (!cut.format)
            cut.format = frame;
        // The boundary before this frame lies at samples / rate seconds.
        if (samples * 1000 > limit * static_cast<uint64_t>(frame->sampleRate)) {
            stoppedByTime = true;
            break;
        }
        cut.offset = at;
        samples += static_cast<uint64_t>(frame->samplesPerFrame);
        at += frame->length;
    }
    if (!stoppedByTime && cut.format && samples * 1000 <= limit * static_cast<uint64_t>(cut.format->sampleRate))
        cut.offset = at; // the end of the last whole frame
    return cut;
}

} // namespace record
