#include "WmaSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace record {
namespace {
constexpr int IoBufferBytes = 8 * 1024;

// The muxer writes at most this much after the last audio: its last packets (within the
// buffers) and an index of 6 bytes for every second.
uint64_t TailBytes(uint64_t seconds)
{
    return 2 * IoBufferBytes + 8 * 1024 + 6 * seconds;
}

// libavformat hands the bytes as const from version 61 on.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using IoBytes = const uint8_t*;
#else
using IoBytes = uint8_t*;
#endif
} // namespace

WmaSink::WmaSink(std::string path, int rate, int channels, int kbps)
    : path_(std::move(path)), rate_(rate), channels_(channels), kbps_(kbps)
{
}

WmaSink::~WmaSink()
{
    FreeIo();
}

void WmaSink::FreeIo()
{
    if (output_)
        output_->pb = nullptr;
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

bool WmaSink::Prepare(std::string& error)
{
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "asf", path_.c_str()) < 0 || !raw) {
        error = "no ASF writer";
        return false;
    }
    output_.reset(raw);
    const bool globalHeader = output_->oformat->flags & AVFMT_GLOBALHEADER;
    if (!encoder_.Open("wmav2", rate_, channels_, int64_t{kbps_} * 1000, globalHeader, error))
        return false;
    stream_ = avformat_new_stream(output_.get(), nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, encoder_.Context()) < 0) {
        error = "cannot describe the WMA stream";
        return false;
    }
    stream_->time_base = encoder_.Context()->time_base;
    return true;
}

int WmaSink::WriteOut(void* self, const uint8_t* data, int size)
{
    auto& sink = *static_cast<WmaSink*>(self);
    FileWriter& file = sink.file_;
    if (sink.ioPosition_ == file.Position())
        file.Append(data, static_cast<size_t>(size));
    else
        file.WriteAt(sink.ioPosition_, data, static_cast<size_t>(size));
    sink.ioPosition_ += static_cast<uint64_t>(size);
    // Out of room the writes still land in the room kept; only a failed write stops the muxer.
    return file.Broken() ? AVERROR(file.Error()) : size;
}

int64_t WmaSink::SeekTo(void* self, int64_t offset, int whence)
{
    auto& sink = *static_cast<WmaSink*>(self);
    const auto size = static_cast<int64_t>(std::max(sink.file_.Position(), sink.file_.Written()));
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: break;
    case SEEK_CUR: offset += static_cast<int64_t>(sink.ioPosition_); break;
    case SEEK_END: offset += size; break;
    default: return AVERROR(EINVAL);
    }
    if (offset < 0)
        return AVERROR(EINVAL);
    sink.ioPosition_ = static_cast<uint64_t>(offset);
    return offset;
}

bool WmaSink::Open(std::string& error)
{
    if (!file_.Create(path_)) {
        error = "cannot create " + path_ + ": " + std::strerror(file_.Error());
        return false;
    }
    file_.SetTailReserve(TailBytes(0));
    auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferBytes));
    io_ = buffer ? avio_alloc_context(buffer, IoBufferBytes, 1, this, nullptr,
                       [](void* self, IoBytes data, int size) { return WriteOut(self, data, size); }, &SeekTo)
                 : nullptr;
    if (!io_) {
        av_free(buffer);
        error = "out of memory";
        return false;
    }
    output_->pb = io_;
    output_->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_write_header(output_.get(), nullptr) < 0) {
        error = "cannot write the ASF header of " + path_;
        return false;
    }
    headerWritten_ = true;
    return true;
}

void WmaSink::Put(AVPacket& packet)
{
    if (file_.Broken())
        return;
    av_packet_rescale_ts(&packet, encoder_.Context()->time_base, stream_->time_base);
    packet.stream_index = stream_->index;
    const int result = av_interleaved_write_frame(output_.get(), &packet);
    if (result < 0 && error_ == 0)
        error_ = file_.Error() != 0 ? file_.Error() : AVUNERROR(result);
}

void WmaSink::Write(const int16_t* interleaved, size_t frames)
{
    if (Failed())
        return;
    encoder_.Write(interleaved, frames, [this](AVPacket& p) { Put(p); });
    framesIn_ += frames;
    file_.SetTailReserve(TailBytes(framesIn_ / static_cast<uint64_t>(rate_)));
    if (error_ == 0)
        error_ = file_.Error();
}

void WmaSink::Checkpoint()
{
    if (io_)
        avio_flush(io_);
    file_.Flush();
    if (error_ == 0)
        error_ = file_.Error();
}

void WmaSink::Finish()
{
    if (!headerWritten_)
        return;
    headerWritten_ = false;
    encoder_.Finish([this](AVPacket& p) { Put(p); });
    // The trailer rewrites the header with the length: the file is complete only after it.
    if (!file_.Broken())
        av_write_trailer(output_.get());
    FreeIo();
    file_.Close();
}

bool WmaEncoderAccepts(int rate, int channels, int64_t bitrate)
{
    FfmpegEncoder probe;
    std::string ignored;
    return probe.Open("wmav2", rate, channels, bitrate, true, ignored);
}

} // namespace record
