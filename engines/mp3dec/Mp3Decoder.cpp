#include "Mp3Decoder.h"

#include "engines/decode/PcmReader.h"

#include <algorithm>
#include <limits>

namespace {

constexpr AVCodecID kMpegAudio[] = {AV_CODEC_ID_MP3, AV_CODEC_ID_MP2, AV_CODEC_ID_MP1};
constexpr size_t kBlockBytes = 8192;

decode::StreamRules Mp3Rules()
{
    return decode::StreamRules{"mp3", kMpegAudio, "mp3float"};
}

// The one decoder of the process; built on first use, released at exit.
decode::PcmReader& Decoder()
{
    static decode::PcmReader reader;
    return reader;
}

int32_t ToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

extern "C" int32_t SB_InitMP3(const char* path, int32_t startMs)
{
    decode::PcmReader& reader = Decoder();
    try {
        if (reader.Open(path, Mp3Rules()) && reader.Seek(startMs))
            return 0;
    } catch (...) {
        // out of memory: a failure like any other
    }
    reader.Close();
    return -1;
}

extern "C" int32_t SB_GetFrameInfo(int32_t* rate, int32_t* channels, int32_t* kbps, int32_t* lengthMs)
{
    const decode::PcmReader& reader = Decoder();
    const bool open = reader.IsOpen();
    if (rate)
        *rate = open ? reader.Rate() : 0;
    if (channels)
        *channels = open ? reader.Channels() : 0;
    if (kbps)
        *kbps = open ? ToInt32((reader.BitrateBps() + 500) / 1000) : 0;
    if (lengthMs)
        *lengthMs = open ? ToInt32(reader.DurationMs()) : 0;
    return open ? 0 : -1;
}

extern "C" int32_t SB_decodeMP3(uint8_t* buffer, int32_t* size)
{
    if (!size)
        return -1;
    *size = 0;
    if (!buffer)
        return -1;
    const size_t written = Decoder().Read(buffer, kBlockBytes);
    *size = static_cast<int32_t>(written);
    return written > 0 ? 0 : 1;
}

extern "C" int32_t SB_ExitMP3()
{
    Decoder().Close();
    return 0;
}
