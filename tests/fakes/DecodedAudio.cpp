#include "DecodedAudio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <memory>
#include <stdexcept>

namespace fakes {
namespace {

template <class T, void (*Free)(T**)>
struct Freer { void operator()(T* p) const { Free(&p); } };

void Check(int code, const char* step)
{
    if (code >= 0)
        return;
    char why[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, why, sizeof why);
    throw std::runtime_error(std::string(step) + ": " + why);
}

template <class T>
T* Need(T* p, const char* step)
{
    return p ? p : throw std::runtime_error(std::string(step) + ": out of memory");
}

class Decoder {
public:
    explicit Decoder(const std::string& path)
    {
        AVFormatContext* raw = nullptr; // freed by avformat_open_input itself when it fails
        Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), "avformat_open_input");
        format_.reset(raw);
        Check(avformat_find_stream_info(raw, nullptr), "avformat_find_stream_info");
        for (unsigned i = 0; i < raw->nb_streams && stream_ < 0; ++i)
            if (raw->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
                stream_ = static_cast<int>(i);
        if (stream_ < 0)
            throw std::runtime_error("no audio stream");
        const AVCodecParameters* par = raw->streams[stream_]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec)
            throw std::runtime_error(std::string("no decoder for ") + avcodec_get_name(par->codec_id));
        codec_.reset(Need(avcodec_alloc_context3(codec), "avcodec_alloc_context3"));
        Check(avcodec_parameters_to_context(codec_.get(), par), "avcodec_parameters_to_context");
        Check(avcodec_open2(codec_.get(), codec, nullptr), "avcodec_open2");
        packet_.reset(Need(av_packet_alloc(), "av_packet_alloc"));
        frame_.reset(Need(av_frame_alloc(), "av_frame_alloc"));
    }

    void Run(DecodedAudio& out)
    {
        out.rate = codec_->sample_rate;
        out.channels = codec_->ch_layout.nb_channels;
        for (int read; (read = av_read_frame(format_.get(), packet_.get())) != AVERROR_EOF;) {
            Check(read, "av_read_frame");
            if (packet_->stream_index == stream_) {
                // Set when the file ends before the data its header promised.
                if (packet_->flags & AV_PKT_FLAG_CORRUPT)
                    throw std::runtime_error("corrupt packet (file cut short?)");
                Check(avcodec_send_packet(codec_.get(), packet_.get()), "avcodec_send_packet");
                Drain(out);
            }
            av_packet_unref(packet_.get());
        }
        Check(avcodec_send_packet(codec_.get(), nullptr), "avcodec_send_packet (flush)");
        Drain(out);
    }

private:
    void Drain(DecodedAudio& out)
    {
        for (int got; (got = avcodec_receive_frame(codec_.get(), frame_.get())) != AVERROR(EAGAIN)
                      && got != AVERROR_EOF;) {
            Check(got, "avcodec_receive_frame");
            if (frame_->decode_error_flags || (frame_->flags & AV_FRAME_FLAG_CORRUPT))
                throw std::runtime_error("corrupt frame");
            if (!swr_) {
                out.rate = frame_->sample_rate;
                out.channels = frame_->ch_layout.nb_channels;
                sampleFormat_ = frame_->format;
                SwrContext* raw = nullptr;
                AVChannelLayout* layout = &frame_->ch_layout; // not const before FFmpeg 6
                Check(swr_alloc_set_opts2(&raw, layout, AV_SAMPLE_FMT_S16, out.rate, layout,
                                          static_cast<AVSampleFormat>(sampleFormat_), out.rate, 0, nullptr),
                      "swr_alloc_set_opts2");
                swr_.reset(Need(raw, "swr_alloc_set_opts2"));
                Check(swr_init(raw), "swr_init");
            } else if (frame_->sample_rate != out.rate || frame_->format != sampleFormat_
                       || frame_->ch_layout.nb_channels != out.channels) {
                throw std::runtime_error("the audio format changes inside the stream");
            }
            // Same rate in and out: the converter hands every frame straight through.
            const size_t used = out.samples.size();
            out.samples.resize(used + static_cast<size_t>(frame_->nb_samples) * out.channels);
            auto* dest = reinterpret_cast<uint8_t*>(out.samples.data() + used);
            const int made = swr_convert(swr_.get(), &dest, frame_->nb_samples,
                                         const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples);
            Check(made, "swr_convert");
            if (made != frame_->nb_samples)
                throw std::runtime_error("swr_convert held samples back");
            av_frame_unref(frame_.get());
        }
    }

    std::unique_ptr<AVFormatContext, Freer<AVFormatContext, avformat_close_input>> format_;
    std::unique_ptr<AVCodecContext, Freer<AVCodecContext, avcodec_free_context>> codec_;
    std::unique_ptr<AVPacket, Freer<AVPacket, av_packet_free>> packet_;
    std::unique_ptr<AVFrame, Freer<AVFrame, av_frame_free>> frame_;
    std::unique_ptr<SwrContext, Freer<SwrContext, swr_free>> swr_;
    int stream_ = -1;
    int sampleFormat_ = -1;
};

} // namespace

double DecodedAudio::Seconds() const
{
    return rate > 0 && channels > 0 ? static_cast<double>(samples.size()) / channels / rate : 0.0;
}

DecodedAudio DecodeAudioFile(const std::string& path)
{
    av_log_set_level(AV_LOG_QUIET); // failures come back as error texts, not console noise
    DecodedAudio out;
    try {
        Decoder(path).Run(out);
        out.ok = true;
    } catch (const std::exception& e) {
        out = DecodedAudio{};
        out.error = e.what();
    }
    return out;
}

} // namespace fakes
