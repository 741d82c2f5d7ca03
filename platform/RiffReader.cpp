#include "RiffReader.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint64_t Le64(const unsigned char* p) { return Le32(p) | (uint64_t{Le32(p + 4)} << 32); }
constexpr uint32_t SizeIn64Bits = 0xFFFFFFFFu;
} // namespace

uint32_t mmioStringToFOURCC(const char* code)
{
    unsigned char c[4] = {' ', ' ', ' ', ' '};
    for (int i = 0; i < 4 && code && code[i]; ++i)
        c[i] = static_cast<unsigned char>(code[i]);
    return Le32(c);
}

bool MmioFile::Open(const std::string& path)
{
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_)
        return false;
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long end = std::ftell(file_);
        size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
    std::fseek(file_, 0, SEEK_SET);
    return true;
}

void MmioFile::Close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
    rf64_ = false;
    riffSize64_ = dataSize64_ = 0;
}

bool MmioFile::ReadHeader(uint64_t at, MMCKINFO& ck)
{
    // A chunk record holds 32-bit offsets: nothing is looked for past 4 GiB.
    if (at + 8 > UINT32_MAX)
        return false;
    unsigned char header[12];
    if (std::fseek(file_, static_cast<long>(at), SEEK_SET) != 0 || std::fread(header, 1, 8, file_) != 8)
        return false;
    ck.ckid = Le32(header);
    ck.cksize = Le32(header + 4);
    ck.dwDataOffset = static_cast<uint32_t>(at + 8);
    ck.fccType = 0;
    ck.dwFlags = 0;
    if (ck.ckid == mmioStringToFOURCC("RIFF") || ck.ckid == mmioStringToFOURCC("RF64")
        || ck.ckid == mmioStringToFOURCC("LIST")) {
        if (std::fread(header + 8, 1, 4, file_) != 4)
            return false;
        ck.fccType = Le32(header + 8);
    }
    return true;
}

void MmioFile::ReadDs64(const MMCKINFO& form)
{
    // The ds64 chunk comes first in the form: its RIFF size and data size.
    unsigned char ds64[24];
    const long back = std::ftell(file_);
    if (std::fseek(file_, static_cast<long>(form.dwDataOffset) + 4, SEEK_SET) == 0
        && std::fread(ds64, 1, sizeof ds64, file_) == sizeof ds64 && std::memcmp(ds64, "ds64", 4) == 0
        && Le32(ds64 + 4) >= 16) {
        rf64_ = true;
        riffSize64_ = Le64(ds64 + 8);
        dataSize64_ = Le64(ds64 + 16);
    }
    std::fseek(file_, back, SEEK_SET);
}

uint64_t MmioFile::ChunkSize(const MMCKINFO& ck) const
{
    if (rf64_ && ck.cksize == SizeIn64Bits) {
        if (ck.ckid == mmioStringToFOURCC("RF64"))
            return riffSize64_;
        if (ck.ckid == mmioStringToFOURCC("data"))
            return dataSize64_;
    }
    return ck.cksize;
}

int MmioFile::Descend(MMCKINFO& ck, const MMCKINFO* parent, unsigned flags)
{
    if (!file_)
        return MMIOERR_CANNOTREAD;
    const long now = std::ftell(file_);
    if (now < 0)
        return MMIOERR_CANNOTSEEK;
    // Searching stops at the parent's end (or the file's, which also bounds a parent that
    // claims more than the file holds).
    uint64_t end = size_;
    if (parent)
        end = std::min<uint64_t>(end, uint64_t{parent->dwDataOffset} + ChunkSize(*parent));
    const uint32_t wantId = (flags & MMIO_FINDRIFF) ? mmioStringToFOURCC("RIFF") : ck.ckid;
    const uint32_t rf64Id = mmioStringToFOURCC("RF64");
    const uint32_t wantType = ck.fccType;
    uint64_t at = static_cast<uint64_t>(now);
    while (at + 8 <= end) {
        MMCKINFO found;
        if (!ReadHeader(at, found))
            break;
        const bool idMatches = found.ckid == wantId || ((flags & MMIO_FINDRIFF) && found.ckid == rf64Id);
        const bool match = !(flags & (MMIO_FINDRIFF | MMIO_FINDCHUNK))
            || (idMatches && (!(flags & MMIO_FINDRIFF) || found.fccType == wantType));
        if (match) {
            ck = found;
            if (ck.ckid == rf64Id)
                ReadDs64(ck);
            const uint64_t data = uint64_t{ck.dwDataOffset} + (ck.fccType ? 4 : 0);
            std::fseek(file_, static_cast<long>(data), SEEK_SET);
            return MMSYSERR_NOERROR;
        }
        const uint64_t size = ChunkSize(found);
        at = uint64_t{found.dwDataOffset} + size + (size & 1);
    }
    std::fseek(file_, now, SEEK_SET);
    return MMIOERR_CHUNKNOTFOUND;
}

int MmioFile::Ascend(const MMCKINFO& ck)
{
    if (!file_)
        return MMIOERR_CANNOTSEEK;
    const uint64_t size = ChunkSize(ck);
    const uint64_t end = uint64_t{ck.dwDataOffset} + size + (size & 1);
    return std::fseek(file_, static_cast<long>(end), SEEK_SET) == 0 ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

long MmioFile::Read(void* buffer, long length)
{
    if (!file_ || length < 0)
        return -1;
    const size_t got = std::fread(buffer, 1, static_cast<size_t>(length), file_);
    if (got == 0 && std::ferror(file_))
        return -1;
    return static_cast<long>(got);
}

long MmioFile::Seek(long offset, int origin)
{
    if (!file_ || std::fseek(file_, offset, origin) != 0)
        return -1;
    return std::ftell(file_);
}

} // namespace platform
