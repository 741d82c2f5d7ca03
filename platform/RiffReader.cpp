#include "RiffReader.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
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
}

bool MmioFile::ReadHeader(uint32_t at, MMCKINFO& ck)
{
    unsigned char header[12];
    if (std::fseek(file_, static_cast<long>(at), SEEK_SET) != 0 || std::fread(header, 1, 8, file_) != 8)
        return false;
    ck.ckid = Le32(header);
    ck.cksize = Le32(header + 4);
    ck.dwDataOffset = at + 8;
    ck.fccType = 0;
    ck.dwFlags = 0;
    if (ck.ckid == mmioStringToFOURCC("RIFF") || ck.ckid == mmioStringToFOURCC("LIST")) {
        if (std::fread(header + 8, 1, 4, file_) != 4)
            return false;
        ck.fccType = Le32(header + 8);
    }
    return true;
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
        end = std::min<uint64_t>(end, uint64_t{parent->dwDataOffset} + parent->cksize);
    const uint32_t wantId = (flags & MMIO_FINDRIFF) ? mmioStringToFOURCC("RIFF") : ck.ckid;
    const uint32_t wantType = ck.fccType;
    uint64_t at = static_cast<uint64_t>(now);
    while (at + 8 <= end) {
        MMCKINFO found;
        if (!ReadHeader(static_cast<uint32_t>(at), found))
            return MMIOERR_CHUNKNOTFOUND;
        const bool match = !(flags & (MMIO_FINDRIFF | MMIO_FINDCHUNK))
            || (found.ckid == wantId && (!(flags & MMIO_FINDRIFF) || found.fccType == wantType));
        if (match) {
            ck = found;
            const uint64_t data = uint64_t{ck.dwDataOffset} + (ck.fccType ? 4 : 0);
            std::fseek(file_, static_cast<long>(data), SEEK_SET);
            return MMSYSERR_NOERROR;
        }
        at = uint64_t{found.dwDataOffset} + found.cksize + (found.cksize & 1);
    }
    std::fseek(file_, now, SEEK_SET);
    return MMIOERR_CHUNKNOTFOUND;
}

int MmioFile::Ascend(const MMCKINFO& ck)
{
    if (!file_)
        return MMIOERR_CANNOTSEEK;
    const uint64_t end = uint64_t{ck.dwDataOffset} + ck.cksize + (ck.cksize & 1);
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
