#include "FfmpegEncoder.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace record {

bool FfmpegEncoder::Open(const char* codecName, int rate, int channels, int64_t bitrate, bool globalHeader,
    std::string& error)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
    if (!codec) {
        error = std::string("no encoder ") + codecName;
        return false;
    }
    context_.reset(avcodec_alloc_context3(codec));
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!context_ || !frame_ || !packet_) {
        error = "out of memory";
        return false;
    }
    AVCodecContext* c = context_.get();
    c->sample_rate = rate;
    c->bit_rate = bitrate;
    av_channel_layout_default(&c->ch_layout, channels);
    // Both encoders we use take planar samples: 16-bit for MP3, float for WMA.
    c->sample_fmt = AV_SAMPLE_FMT_NONE;
    for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
        if (*f == AV_SAMPLE_FMT_S16P || *f == AV_SAMPLE_FMT_FLTP) {
            c->sample_fmt = *f;
            break;
        }
    if (c->sample_fmt == AV_SAMPLE_FMT_NONE) {
        error = "no usable sample format";
        return false;
    }
    c->time_base = AVRational{1, rate};
    if (globalHeader)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, codec, nullptr) < 0) {
        error = std::string("the ") + codecName + " encoder refuses this format";
        return false;
    }
    // A variable-frame-size encoder takes any amount; give it blocks of 1152.
    const int frameSize = c->frame_size > 0 ? c->frame_size : 1152;
    frame_->format = c->sample_fmt;
    frame_->sample_rate = rate;
    frame_->nb_samples = frameSize;
    if (av_channel_layout_copy(&frame_->ch_layout, &c->ch_layout) < 0 || av_frame_get_buffer(frame_.get(), 0) < 0) {
        error = "out of memory";
        return false;
    }
    return true;
}

void FfmpegEncoder::Write(const int16_t* interleaved, size_t frames, const PacketSink& sink)
{
    const int channels = context_->ch_layout.nb_channels;
    const bool isFloat = context_->sample_fmt == AV_SAMPLE_FMT_FLTP;
    while (frames > 0) {
        if (av_frame_make_writable(frame_.get()) < 0)
            return;
        const int take = static_cast<int>(std::min<size_t>(frames, static_cast<size_t>(frame_->nb_samples - filled_)));
        for (int ch = 0; ch < channels; ++ch) {
            const int16_t* from = interleaved + ch;
            if (isFloat) {
                float* to = reinterpret_cast<float*>(frame_->data[ch]) + filled_;
                for (int i = 0; i < take; ++i)
                    to[i] = from[i * channels] * (1.0f / 32768.0f);
            } else {
                int16_t* to = reinterpret_cast<int16_t*>(frame_->data[ch]) + filled_;
                for (int i = 0; i < take; ++i)
                    to[i] = from[i * channels];
            }
        }
        filled_ += take;
        interleaved += static_cast<size_t>(take) * static_cast<size_t>(channels);
        frames -= static_cast<size_t>(take);
        if (filled_ == frame_->nb_samples) {
            frame_->pts = nextPts_;
            nextPts_ += filled_;
            EncodeFrame(frame_.get(), sink);
            filled_ = 0;
        }
    }
}

void FfmpegEncoder::Finish(const PacketSink& sink)
{
    if (!context_)
        return;
    if (filled_ > 0) {
        const int full = frame_->nb_samples;
        const bool smallLast = context_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
        if (smallLast) {
            frame_->nb_samples = filled_;
        } else {
            // Pad the last frame with silence.
            const int channels = context_->ch_layout.nb_channels;
            const size_t sampleBytes = static_cast<size_t>(av_get_bytes_per_sample(context_->sample_fmt));
            for (int ch = 0; ch < channels; ++ch)
                std::memset(frame_->data[ch] + static_cast<size_t>(filled_) * sampleBytes, 0,
                    static_cast<size_t>(full - filled_) * sampleBytes);
        }
        frame_->pts = nextPts_;
        nextPts_ += filled_;
        EncodeFrame(frame_.get(), sink);
        frame_->nb_samples = full;
        filled_ = 0;
    }
    EncodeFrame(nullptr, sink); // the empty frame: drain until the encoder reports the end
}

bool FfmpegEncoder::EncodeFrame(const AVFrame* frame, const PacketSink& sink)
{
    if (avcodec_send_frame(context_.get(), frame) < 0)
        return false;
    for (;;) {
        const int got = avcodec_receive_packet(context_.get(), packet_.get());
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return true;
        if (got < 0)
            return false;
        sink(*packet_);
        av_packet_unref(packet_.get());
    }
}

} // namespace record
