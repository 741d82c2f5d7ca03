#include "Mp3Sink.h"

#include "Mp3Frames.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace record {

Mp3Sink::Mp3Sink(std::string path, int rate, int channels, int kbps, bool append, int32_t startMs)
    : path_(std::move(path)), rate_(rate), channels_(channels), kbps_(kbps), append_(append), startMs_(startMs)
{
}

bool Mp3Sink::Prepare(std::string& error)
{
    if (append_) {
        std::ifstream in(path_, std::ios::binary);
        if (!in) {
            error = "cannot read " + path_;
            return false;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const Mp3Cut cut = FindMp3Cut(bytes, startMs_);
        cutAt_ = cut.offset;
        if (cut.format) {
            rate_ = cut.format->sampleRate;
            channels_ = cut.format->channels;
            kbps_ = cut.format->bitrateKbps;
        }
    }
    return encoder_.Open("libmp3lame", rate_, channels_, int64_t{kbps_} * 1000, false, error);
}

bool Mp3Sink::Open(std::string& error)
{
    const bool ok = append_ ? file_.OpenExisting(path_) && file_.TruncateAt(cutAt_) : file_.Create(path_);
    if (!ok)
        error = "cannot write " + path_ + ": " + std::strerror(file_.Error());
    // Room for the encoder's last frames when the disk fills.
    file_.SetTailReserve(16 * 1024);
    wholeEnd_ = file_.Written();
    return ok;
}

void Mp3Sink::Put(AVPacket& packet)
{
    file_.Append(packet.data, static_cast<size_t>(packet.size));
    pendingEnds_.push_back(file_.Position());
}

void Mp3Sink::Write(const int16_t* interleaved, size_t frames)
{
    if (Failed())
        return;
    encoder_.Write(interleaved, frames, [this](AVPacket& p) { Put(p); });
    error_ = file_.Error();
}

void Mp3Sink::Checkpoint()
{
    file_.Flush();
    error_ = file_.Error();
    while (!pendingEnds_.empty() && pendingEnds_.front() <= file_.Written()) {
        wholeEnd_ = pendingEnds_.front();
        pendingEnds_.pop_front();
    }
}

void Mp3Sink::Finish()
{
    if (!file_.Broken())
        encoder_.Finish([this](AVPacket& p) { Put(p); });
    Checkpoint();
    // A write that failed may have left part of a frame: the file ends at the last whole one.
    if (file_.Broken())
        file_.TruncateAt(wholeEnd_);
    file_.Close();
}

} // namespace record
