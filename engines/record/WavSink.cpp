#include "WavSink.h"

#include "WavLayout.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace record {
namespace {
void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutLe64(uint8_t* p, uint64_t v)
{
    PutLe32(p, static_cast<uint32_t>(v));
    PutLe32(p + 4, static_cast<uint32_t>(v >> 32));
}
void PutLe16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
} // namespace

WavSink::WavSink(std::string path, int rate, int channels, bool append, int32_t startMs)
    : path_(std::move(path)), rate_(rate), channels_(channels), append_(append), startMs_(startMs)
{
}

bool WavSink::Prepare(std::string& error)
{
    if (!append_)
        return true;
    const auto layout = ReadWavLayout(path_);
    if (!layout) {
        error = "not a 16-bit PCM WAV file: " + path_;
        return false;
    }
    rate_ = layout->rate;
    channels_ = layout->channels;
    dataOffset_ = layout->dataOffset;
    ds64At_ = layout->ds64At;
    rf64_ = layout->rf64;
    const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
    const uint64_t frames = layout->dataBytes / frameBytes;
    // The frame nearest to startMs, never past the audio the file holds.
    const double wanted = std::nearbyint(std::max<int32_t>(startMs_, 0) * static_cast<double>(rate_) / 1000.0);
    const uint64_t frame = std::min<uint64_t>(static_cast<uint64_t>(wanted), frames);
    continueAt_ = dataOffset_ + frame * frameBytes;
    return true;
}

bool WavSink::Open(std::string& error)
{
    if (append_) {
        if (!file_.OpenExisting(path_) || !file_.TruncateAt(continueAt_)) {
            error = "cannot continue " + path_ + ": " + std::strerror(file_.Error());
            return false;
        }
        Checkpoint();
        return true;
    }
    if (!file_.Create(path_)) {
        error = "cannot create " + path_ + ": " + std::strerror(file_.Error());
        return false;
    }
    uint8_t header[WavDataOffset] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'J', 'U', 'N', 'K'};
    PutLe32(header + 16, Ds64Bytes);
    uint8_t* fmt = header + Ds64At + 8 + Ds64Bytes;
    std::memcpy(fmt, "fmt ", 4);
    PutLe32(fmt + 4, 16);
    PutLe16(fmt + 8, 1); // PCM
    PutLe16(fmt + 10, static_cast<uint16_t>(channels_));
    PutLe32(fmt + 12, static_cast<uint32_t>(rate_));
    PutLe32(fmt + 16, static_cast<uint32_t>(rate_ * channels_ * 2));
    PutLe16(fmt + 20, static_cast<uint16_t>(channels_ * 2));
    PutLe16(fmt + 22, 16);
    std::memcpy(fmt + 24, "data", 4);
    dataOffset_ = WavDataOffset;
    ds64At_ = Ds64At;
    file_.Append(header, sizeof header);
    Checkpoint();
    if (file_.Failed())
        error = "cannot write " + path_ + ": " + std::strerror(file_.Error());
    return !file_.Failed();
}

void WavSink::Write(const int16_t* interleaved, size_t frames)
{
    if (Failed())
        return;
    const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
    if (ds64At_ == 0) {
        const uint64_t room = (MaxRiffFileBytes - std::min(file_.Position(), MaxRiffFileBytes)) / frameBytes;
        if (room < frames) {
            file_.Append(interleaved, room * frameBytes);
            error_ = EFBIG;
            return;
        }
    }
    file_.Append(interleaved, frames * frameBytes);
    error_ = file_.Error();
}

void WavSink::Checkpoint()
{
    file_.Flush();
    if (error_ == 0)
        error_ = file_.Error();
    const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
    // Only whole frames that really reached the file count, even after a short write.
    WriteSizes((file_.Written() - std::min(file_.Written(), dataOffset_)) / frameBytes * frameBytes);
}

void WavSink::WriteSizes(uint64_t dataBytes)
{
    const uint64_t riffSize = dataOffset_ + dataBytes - 8;
    const bool rf64 = ds64At_ != 0 && riffSize > RiffSizeLimit;
    uint8_t field[8];
    if (rf64) {
        // The 64-bit sizes first, so that the header never points at sizes not yet there.
        // The chunk keeps the size it has: a placeholder may be larger than needed.
        uint8_t ds64[Ds64Bytes] = {};
        PutLe64(ds64, riffSize);
        PutLe64(ds64 + 8, dataBytes);
        PutLe64(ds64 + 16, dataBytes / (2u * static_cast<unsigned>(channels_)));
        file_.WriteAt(ds64At_ + 8, ds64, sizeof ds64);
        if (!rf64_) {
            file_.WriteAt(ds64At_, "ds64", 4);
            PutLe32(field, 0xFFFFFFFFu);
            file_.WriteAt(4, field, 4);
            file_.WriteAt(dataOffset_ - 4, field, 4);
            file_.WriteAt(0, "RF64", 4);
            rf64_ = true;
        }
        return;
    }
    if (rf64_) {
        // Cut back below 4 GiB (a continued file): a plain RIFF again.
        file_.WriteAt(0, "RIFF", 4);
        file_.WriteAt(ds64At_, "JUNK", 4);
        rf64_ = false;
    }
    PutLe32(field, static_cast<uint32_t>(std::min(riffSize, RiffSizeLimit)));
    file_.WriteAt(4, field, 4);
    PutLe32(field, static_cast<uint32_t>(std::min(dataBytes, RiffSizeLimit)));
    file_.WriteAt(dataOffset_ - 4, field, 4);
}

void WavSink::Finish()
{
    Checkpoint();
    // A write that failed midway may have left part of a frame behind the counted audio.
    if (file_.Broken()) {
        const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
        const uint64_t written = file_.Written() - std::min(file_.Written(), dataOffset_);
        file_.TruncateAt(dataOffset_ + written / frameBytes * frameBytes);
    }
    file_.Close();
}

} // namespace record
