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
template <class T, void (*Free)(T**)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;

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

void Decode(const std::string& path, DecodedAudio& out)
{
    AVFormatContext* rawFormat = nullptr; // freed by avformat_open_input itself when it fails
    Check(avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr), "avformat_open_input");
    const Owned<AVFormatContext, avformat_close_input> format(rawFormat);
    Check(avformat_find_stream_info(rawFormat, nullptr), "avformat_find_stream_info");
    int stream = -1;
    for (unsigned i = 0; i < rawFormat->nb_streams && stream < 0; ++i)
        if (rawFormat->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            stream = static_cast<int>(i);
    Check(stream < 0 ? AVERROR_STREAM_NOT_FOUND : 0, "no audio stream");
    const AVCodecParameters* par = rawFormat->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    Check(codec ? 0 : AVERROR_DECODER_NOT_FOUND, avcodec_get_name(par->codec_id));
    const Owned<AVCodecContext, avcodec_free_context> decoder(
        Need(avcodec_alloc_context3(codec), "avcodec_alloc_context3"));
    Check(avcodec_parameters_to_context(decoder.get(), par), "avcodec_parameters_to_context");
    Check(avcodec_open2(decoder.get(), codec, nullptr), "avcodec_open2");
    const Owned<AVPacket, av_packet_free> packet(Need(av_packet_alloc(), "av_packet_alloc"));
    const Owned<AVFrame, av_frame_free> frame(Need(av_frame_alloc(), "av_frame_alloc"));
    Owned<SwrContext, swr_free> converter;
    int sampleFormat = -1;
    out.rate = decoder->sample_rate;
    out.channels = decoder->ch_layout.nb_channels;
    auto drain = [&] {
        for (int got; (got = avcodec_receive_frame(decoder.get(), frame.get())) != AVERROR(EAGAIN)
                      && got != AVERROR_EOF;) {
            Check(got, "avcodec_receive_frame");
            if (frame->decode_error_flags || (frame->flags & AV_FRAME_FLAG_CORRUPT))
                throw std::runtime_error("corrupt frame");
            if (!converter) {
                out.rate = frame->sample_rate;
                out.channels = frame->ch_layout.nb_channels;
                sampleFormat = frame->format;
                SwrContext* raw = nullptr;
                AVChannelLayout* layout = &frame->ch_layout; // not const before FFmpeg 6
                Check(swr_alloc_set_opts2(&raw, layout, AV_SAMPLE_FMT_S16, out.rate, layout,
                                          static_cast<AVSampleFormat>(sampleFormat), out.rate, 0, nullptr),
                      "swr_alloc_set_opts2");
                converter.reset(Need(raw, "swr_alloc_set_opts2"));
                Check(swr_init(raw), "swr_init");
            } else if (frame->sample_rate != out.rate || frame->format != sampleFormat
                       || frame->ch_layout.nb_channels != out.channels) {
                throw std::runtime_error("the audio format changes inside the stream");
            }
            // Same rate in and out: the converter hands every frame straight through.
            const size_t used = out.samples.size();
            out.samples.resize(used + static_cast<size_t>(frame->nb_samples) * out.channels);
            auto* dest = reinterpret_cast<uint8_t*>(out.samples.data() + used);
            const int made = swr_convert(converter.get(), &dest, frame->nb_samples,
                                         const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            Check(made, "swr_convert");
            if (made != frame->nb_samples)
                throw std::runtime_error("swr_convert held samples back");
            av_frame_unref(frame.get());
        }
    };

    for (int read; (read = av_read_frame(rawFormat, packet.get())) != AVERROR_EOF; av_packet_unref(packet.get())) {
        Check(read, "av_read_frame");
        if (packet->stream_index != stream)
            continue;
        // Set when the file ends before the data its header promised.
        if (packet->flags & AV_PKT_FLAG_CORRUPT)
            throw std::runtime_error("corrupt packet (file cut short?)");
        Check(avcodec_send_packet(decoder.get(), packet.get()), "avcodec_send_packet");
        drain();
    }
    Check(avcodec_send_packet(decoder.get(), nullptr), "avcodec_send_packet (flush)");
    drain();
}

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
        Decode(path, out);
        out.ok = true;
    } catch (const std::exception& e) {
        out = DecodedAudio{};
        out.error = e.what();
    }
    return out;
}

double ContainerSeconds(const std::string& path)
{
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) != 0)
        return -1;
    double seconds = -1;
    if (avformat_find_stream_info(input, nullptr) >= 0 && input->duration > 0)
        seconds = input->duration / double(AV_TIME_BASE);
    avformat_close_input(&input);
    return seconds;
}

} // namespace fakes
