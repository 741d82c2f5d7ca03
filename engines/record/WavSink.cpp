#include "WavSink.h"

#include "WavLayout.h"

#include <algorithm>
#include <cmath>

namespace record {
namespace {
void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
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
            error = "cannot continue " + path_;
            return false;
        }
        Checkpoint();
        return true;
    }
    if (!file_.Create(path_)) {
        error = "cannot create " + path_;
        return false;
    }
    uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0};
    PutLe16(header + 20, 1); // PCM
    PutLe16(header + 22, static_cast<uint16_t>(channels_));
    PutLe32(header + 24, static_cast<uint32_t>(rate_));
    PutLe32(header + 28, static_cast<uint32_t>(rate_ * channels_ * 2));
    PutLe16(header + 32, static_cast<uint16_t>(channels_ * 2));
    PutLe16(header + 34, 16);
    header[36] = 'd'; header[37] = 'a'; header[38] = 't'; header[39] = 'a';
    file_.Append(header, sizeof header);
    Checkpoint();
    return !file_.Failed();
}

void WavSink::Write(const int16_t* interleaved, size_t frames)
{
    if (file_.Failed())
        return;
    const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
    const uint64_t room = (MaxFileBytes - file_.Position()) / frameBytes;
    file_.Append(interleaved, std::min<uint64_t>(frames, room) * frameBytes);
}

void WavSink::Checkpoint()
{
    file_.Flush();
    failed_ = file_.Failed();
    const uint64_t frameBytes = 2u * static_cast<unsigned>(channels_);
    // Only whole frames that really reached the file count, even after a short write.
    const uint64_t dataBytes = (file_.Written() - std::min(file_.Written(), dataOffset_)) / frameBytes * frameBytes;
    uint8_t size[4];
    PutLe32(size, static_cast<uint32_t>(dataOffset_ + dataBytes - 8));
    file_.WriteAt(4, size, 4);
    PutLe32(size, static_cast<uint32_t>(dataBytes));
    file_.WriteAt(dataOffset_ - 4, size, 4);
}

void WavSink::Finish()
{
    Checkpoint();
    file_.Close();
}

} // namespace record
