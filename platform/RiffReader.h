#pragma once
// Multimedia file I/O for RIFF files, read side: open, descend into a RIFF form or a chunk,
// ascend past a chunk (and its padding byte), read, seek, close. An RF64 form (a WAVE past
// 4 GiB) is found as a RIFF form is; its sizes of 0xFFFFFFFF stand for the 64-bit sizes of
// its ds64 chunk, which ChunkSize gives.
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// One chunk: 20 bytes, the layout callers keep in their records.
struct MMCKINFO {
    uint32_t ckid = 0;         // chunk identifier
    uint32_t cksize = 0;       // size of the chunk's data
    uint32_t fccType = 0;      // form type of a RIFF chunk
    uint32_t dwDataOffset = 0; // file offset of the chunk's data
    uint32_t dwFlags = 0;
};
static_assert(sizeof(MMCKINFO) == 20);

inline constexpr unsigned MMIO_FINDCHUNK = 0x0010;
inline constexpr unsigned MMIO_FINDRIFF = 0x0020;
inline constexpr int MMSYSERR_NOERROR = 0;
inline constexpr int MMIOERR_CANNOTSEEK = 261;
inline constexpr int MMIOERR_CANNOTREAD = 259;
inline constexpr int MMIOERR_CHUNKNOTFOUND = 265;

// The four characters of a code, as a little-endian 32-bit value ("fmt " and so on).
uint32_t mmioStringToFOURCC(const char* code);

class MmioFile {
public:
    MmioFile() = default;
    ~MmioFile() { Close(); }
    MmioFile(const MmioFile&) = delete;
    MmioFile& operator=(const MmioFile&) = delete;

    bool Open(const std::string& path); // read only
    bool IsOpen() const { return file_ != nullptr; }
    void Close();

    // Finds, from the current position and inside parent when given, the RIFF chunk whose
    // form type is ck.fccType (MMIO_FINDRIFF), the chunk whose identifier is ck.ckid
    // (MMIO_FINDCHUNK), or takes the chunk at the current position (no flag). On success ck
    // is filled and the position is the chunk's data (after the form type of a RIFF chunk).
    int Descend(MMCKINFO& ck, const MMCKINFO* parent, unsigned flags);
    // The size of a chunk's data: cksize, or for an RF64 form and its "data" chunk the 64-bit
    // size that the ds64 chunk gives.
    uint64_t ChunkSize(const MMCKINFO& ck) const;
    // Moves to the end of the chunk, past its padding byte.
    int Ascend(const MMCKINFO& ck);
    // Bytes read (0 at the end), or -1 on error.
    long Read(void* buffer, long length);
    // SEEK_SET, SEEK_CUR or SEEK_END; the new position, or -1.
    long Seek(long offset, int origin);

private:
    bool ReadHeader(uint64_t at, MMCKINFO& ck);
    void ReadDs64(const MMCKINFO& form);

    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    bool rf64_ = false;
    uint64_t riffSize64_ = 0;
    uint64_t dataSize64_ = 0;
};

} // namespace platform
