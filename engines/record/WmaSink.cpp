#include "WmaSink.h"

namespace record {

WmaSink::WmaSink(std::string path, int rate, int channels, int kbps)
    : path_(std::move(path)), rate_(rate), channels_(channels), kbps_(kbps)
{
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

bool WmaSink::Open(std::string& error)
{
    if (avio_open(&output_->pb, path_.c_str(), AVIO_FLAG_WRITE) < 0) {
        error = "cannot create " + path_;
        return false;
    }
    if (avformat_write_header(output_.get(), nullptr) < 0) {
        error = "cannot write the ASF header";
        return false;
    }
    headerWritten_ = true;
    return true;
}

void WmaSink::Put(AVPacket& packet)
{
    if (failed_)
        return;
    av_packet_rescale_ts(&packet, encoder_.Context()->time_base, stream_->time_base);
    packet.stream_index = stream_->index;
    if (av_interleaved_write_frame(output_.get(), &packet) < 0)
        failed_ = true;
}

void WmaSink::Write(const int16_t* interleaved, size_t frames)
{
    if (!failed_)
        encoder_.Write(interleaved, frames, [this](AVPacket& p) { Put(p); });
}

void WmaSink::Checkpoint()
{
    if (output_ && output_->pb) {
        avio_flush(output_->pb);
        if (output_->pb->error < 0)
            failed_ = true;
    }
}

void WmaSink::Finish()
{
    if (!headerWritten_)
        return;
    encoder_.Finish([this](AVPacket& p) { Put(p); });
    av_write_trailer(output_.get());
    avio_closep(&output_->pb);
    headerWritten_ = false;
}

bool WmaEncoderAccepts(int rate, int channels, int64_t bitrate)
{
    FfmpegEncoder probe;
    std::string ignored;
    return probe.Open("wmav2", rate, channels, bitrate, true, ignored);
}

} // namespace record
