#include "WavLayout.h"

#include <cstring>
#include <fstream>

namespace record {
namespace {
uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint64_t Le64(const unsigned char* p) { return Le32(p) | (uint64_t{Le32(p + 4)} << 32); }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
} // namespace

std::optional<WavLayout> ReadWavLayout(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const uint64_t fileSize = static_cast<uint64_t>(in.tellg());
    in.seekg(0);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WavLayout layout;
    layout.rf64 = std::memcmp(riff, "RF64", 4) == 0;
    if (!layout.rf64 && std::memcmp(riff, "RIFF", 4) != 0)
        return std::nullopt;

    bool haveFormat = false;
    uint64_t ds64Data = 0;
    uint64_t at = 12;
    while (at + 8 <= fileSize) {
        unsigned char chunk[8];
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(reinterpret_cast<char*>(chunk), 8))
            return std::nullopt;
        const uint64_t size = Le32(chunk + 4);
        const bool ds64 = std::memcmp(chunk, "ds64", 4) == 0;
        if (at == 12 && size >= Ds64Bytes && (ds64 || std::memcmp(chunk, "JUNK", 4) == 0)) {
            layout.ds64At = at;
            if (ds64) {
                unsigned char sizes[16];
                if (!in.read(reinterpret_cast<char*>(sizes), 16))
                    return std::nullopt;
                ds64Data = Le64(sizes + 8);
            }
        }
        if (layout.rf64 && layout.ds64At == 0)
            return std::nullopt; // an RF64 file says its sizes first
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (size < 16 || !in.read(reinterpret_cast<char*>(fmt), 16))
                return std::nullopt;
            layout.channels = Le16(fmt + 2);
            layout.rate = static_cast<int>(Le32(fmt + 4));
            if (Le16(fmt) != 1 || Le16(fmt + 14) != 16 || layout.rate <= 0 || (layout.channels != 1 && layout.channels != 2))
                return std::nullopt;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            const uint64_t frameBytes = 2u * static_cast<unsigned>(layout.channels);
            layout.dataOffset = at + 8;
            const uint64_t said = layout.rf64 && size == 0xFFFFFFFFu ? ds64Data : size;
            const uint64_t inFile = fileSize - layout.dataOffset;
            layout.dataBytes = (said < inFile ? said : inFile) / frameBytes * frameBytes;
            return layout;
        }
        at += 8 + size + (size & 1); // chunks are padded to even sizes
    }
    return std::nullopt;
}

} // namespace record
