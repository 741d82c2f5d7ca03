#include "WmaFile.h"

#include "engines/decode/PcmReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

constexpr AVCodecID kWmaCodecs[] = {AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2};

decode::StreamRules WmaRules()
{
    return decode::StreamRules{"asf", kWmaCodecs, nullptr};
}

// The one reader of the process and the block it hands out; built on first use, released
// at exit.
struct ReaderState {
    decode::PcmReader reader;
    std::array<uint8_t, 8192> block{};
};

ReaderState& State()
{
    static ReaderState state;
    return state;
}

uint32_t ToUInt32(int64_t v)
{
    return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<uint32_t>::max()));
}

} // namespace

extern "C" uint8_t CheckWMAFileInfo(const char* path, void* info)
{
    if (!info)
        return 0;
    try {
        decode::PcmReader probe;
        if (!probe.Open(path, WmaRules()))
            return 0;
        // Through a copy: the caller's bytes need not be aligned for the record.
        WmaFileInfo record;
        std::memcpy(&record, info, sizeof record);
        record.SampleRate = ToUInt32(probe.Rate());
        record.Channels = ToUInt32(probe.Channels());
        record.Bitrate = ToUInt32((probe.BitrateBps() + 500) / 1000);
        record.DurationMs = ToUInt32(probe.DurationMs());
        std::memcpy(info, &record, sizeof record);
        return 1;
    } catch (...) {
        return 0; // out of memory: a failure like any other
    }
}

extern "C" uint8_t InitWMAReadFile(const char* path, void* /*info*/, int32_t startMs)
{
    decode::PcmReader& reader = State().reader;
    try {
        if (reader.Open(path, WmaRules()) && reader.Seek(startMs))
            return 1;
    } catch (...) {
        // out of memory: a failure like any other
    }
    reader.Close();
    return 0;
}

extern "C" uint8_t ReadWMAFile(void* /*info*/, uint8_t** block, uint32_t* size)
{
    if (!block || !size)
        return 0;
    *block = nullptr;
    *size = 0;
    ReaderState& state = State();
    const size_t written = state.reader.Read(state.block.data(), state.block.size());
    if (written == 0)
        return 0;
    *block = state.block.data();
    *size = static_cast<uint32_t>(written);
    return 1;
}

extern "C" void CloseWMAReadFile(void* /*info*/)
{
    State().reader.Close();
}
