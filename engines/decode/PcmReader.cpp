#include "PcmReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <utility>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

namespace decode {
namespace {

// Sample frames the staging buffer holds: more than any MP3 (1152) or WMA (2048) frame, so a
// frame is converted in one go; a longer one waits in the converter for the next refill.
constexpr int kStagingFrames = 8192;
// Samples decoded and dropped before a jump's target: at least 14 MP3 frames (the bit
// reservoir reaches up to 511 bytes back, several frames at low bitrates, and the overlap one
// more) or 8 WMA frames. Below twice this, decoding from the start is as cheap as a jump.
constexpr int64_t kPrerollSamples = 16384;
constexpr int kMaxChannels = 8;
// Damaged packets in a row after which a stream counts as ended rather than damaged.
constexpr int kMaxDecodeErrors = 1000;

// A channel layout value owned for one scope (custom layouts hold an allocated map).
struct OwnedLayout {
    AVChannelLayout layout{};
    OwnedLayout() = default;
    OwnedLayout(const OwnedLayout&) = delete;
    OwnedLayout& operator=(const OwnedLayout&) = delete;
    ~OwnedLayout() { av_channel_layout_uninit(&layout); }
};

} // namespace

bool PcmReader::Fail()
{
    Close();
    return false;
}

bool PcmReader::Open(const char* path, const StreamRules& rules)
{
    Close();
    if (!path || !*path || !rules.demuxer)
        return false;
    path_ = path;
    rules_ = rules;
    // FFmpeg tells of its own steps on stderr ("asf_read_pts failed" at every WMA seek); a
    // player's user sees its errors only, and ours come back as texts.
    if (av_log_get_level() > AV_LOG_ERROR)
        av_log_set_level(AV_LOG_ERROR);

    AVFormatContext* raw = nullptr; // avformat_open_input frees it itself when it fails
    if (avformat_open_input(&raw, path, nullptr, nullptr) < 0)
        return Fail();
    input_.reset(raw);
    // The container is taken from the file's content, never from its name.
    if (!raw->iformat || !raw->iformat->name || std::strcmp(raw->iformat->name, rules.demuxer) != 0)
        return Fail();
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return Fail();
    stream_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_ < 0)
        return Fail();
    AVStream* stream = raw->streams[stream_];
    const AVCodecParameters* par = stream->codecpar;
    if (std::find(rules.codecs.begin(), rules.codecs.end(), par->codec_id) == rules.codecs.end())
        return Fail();
    const AVCodec* codec = rules.preferredDecoder ? avcodec_find_decoder_by_name(rules.preferredDecoder) : nullptr;
    if (!codec || codec->id != par->codec_id)
        codec = avcodec_find_decoder(par->codec_id);
    if (!codec)
        return Fail();
    decoder_.reset(avcodec_alloc_context3(codec));
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!decoder_ || !packet_ || !frame_)
        return Fail();
    if (avcodec_parameters_to_context(decoder_.get(), par) < 0)
        return Fail();
    // Lets the decoder move the timestamps of frames it shortens (an encoder delay it drops).
    decoder_->pkt_timebase = stream->time_base;
    if (avcodec_open2(decoder_.get(), codec, nullptr) < 0)
        return Fail();
    timeBase_ = stream->time_base;
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (static_cast<int>(i) != stream_)
            raw->streams[i]->discard = AVDISCARD_ALL;

    if (!DecodeFirstFrame())
        return Fail();
    MeasureFile();
    atStart_ = true;
    return true;
}

// The first frame fixes the output format (what the decoder really delivers, not what the
// header claims) and the timestamp of sample 0; it stays in frame_ to be handled by the first
// refill, after a Seek has said how much of it to drop.
bool PcmReader::DecodeFirstFrame()
{
    if (!ReceiveFrame())
        return false;
    rate_ = frame_->sample_rate;
    channels_ = frame_->ch_layout.nb_channels;
    if (rate_ <= 0 || channels_ <= 0 || channels_ > kMaxChannels)
        return false;
    if (!EnsureConverter(*frame_))
        return false;
    originPts_ = frame_->best_effort_timestamp;
    staging_.assign(static_cast<size_t>(kStagingFrames) * FrameBytes(), 0);
    nextFramePos_ = 0;
    dropUntil_ = 0;
    framePending_ = true;
    return true;
}

void PcmReader::MeasureFile()
{
    const AVFormatContext* input = input_.get();
    const AVStream* stream = input->streams[stream_];
    bitrate_ = stream->codecpar->bit_rate > 0 ? stream->codecpar->bit_rate : std::max<int64_t>(input->bit_rate, 0);
    int64_t ms = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        int64_t span = stream->duration;
        // A start later than the first packet is an encoder delay announced by the file (the
        // LAME header of an MP3), which the decoder drops: it is no part of the length.
        if (stream->start_time != AV_NOPTS_VALUE && firstPacketPts_ != AV_NOPTS_VALUE
            && stream->start_time > firstPacketPts_)
            span -= std::min(span, stream->start_time - firstPacketPts_);
        ms = av_rescale_q(span, stream->time_base, AVRational{1, 1000});
    } else if (input->duration != AV_NOPTS_VALUE && input->duration > 0) {
        ms = av_rescale(input->duration, 1000, AV_TIME_BASE);
    }
    durationMs_ = std::max<int64_t>(ms, 0);
}

// Next decoded frame with samples into frame_; false at the end of the stream or when it
// cannot go on (ended_ is then set).
bool PcmReader::ReceiveFrame()
{
    int errors = 0;
    while (!ended_) {
        const int got = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (got >= 0) {
            if (frame_->nb_samples > 0)
                return true;
        } else if (got == AVERROR(EAGAIN)) {
            if (!FeedPacket())
                ended_ = true;
        } else if (got == AVERROR_INVALIDDATA && ++errors < kMaxDecodeErrors) {
            // the decoder dropped a damaged packet; the next one may decode
        } else {
            ended_ = true; // AVERROR_EOF: drained; anything else: the stream cannot go on
        }
    }
    return false;
}

// Hands the decoder the next packet of our stream, or the end of input. False when the
// decoder refuses input for good.
bool PcmReader::FeedPacket()
{
    if (flushed_)
        return false;
    for (int errors = 0;;) {
        if (av_read_frame(input_.get(), packet_.get()) < 0) {
            // The end of the file or a read error (a file cut short): either way the stream
            // ends here, and the decoder is drained of what it still holds.
            flushed_ = true;
            return avcodec_send_packet(decoder_.get(), nullptr) >= 0;
        }
        if (packet_->stream_index != stream_) {
            av_packet_unref(packet_.get());
            continue;
        }
        if (firstPacketPts_ == AV_NOPTS_VALUE)
            firstPacketPts_ = packet_->pts;
        const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (sent >= 0)
            return true;
        if (sent != AVERROR_INVALIDDATA || ++errors >= kMaxDecodeErrors)
            return false;
        // a damaged packet is skipped; the next one may decode
    }
}

bool PcmReader::EnsureConverter(const AVFrame& frame)
{
    if (converter_ && frame.sample_rate == converterInRate_ && frame.format == converterInFormat_
        && av_channel_layout_compare(&frame.ch_layout, &converterInLayout_) == 0)
        return true;
    if (frame.sample_rate <= 0 || frame.ch_layout.nb_channels <= 0 || frame.format < 0)
        return false;
    // The output is 16-bit interleaved at the reported rate and channel count, whatever a
    // frame brings. A layout the file leaves unnamed counts as the usual one for its channel
    // count; with as many channels out as in, the output keeps the input's layout, so
    // nothing is remixed.
    OwnedLayout in, out;
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in.layout, frame.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in.layout, &frame.ch_layout) < 0)
        return false;
    if (in.layout.nb_channels == channels_) {
        if (av_channel_layout_copy(&out.layout, &in.layout) < 0)
            return false;
    } else {
        av_channel_layout_default(&out.layout, channels_);
    }
    SwrContext* raw = nullptr;
    const int set = swr_alloc_set_opts2(&raw, &out.layout, AV_SAMPLE_FMT_S16, rate_, &in.layout,
        static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    SwrPtr fresh(raw);
    if (set < 0 || !fresh || swr_init(fresh.get()) < 0)
        return false;
    if (av_channel_layout_copy(&converterInLayout_, &frame.ch_layout) < 0)
        return false;
    converter_ = std::move(fresh);
    converterInRate_ = frame.sample_rate;
    converterInFormat_ = frame.format;
    return true;
}

// Places the first frame after a jump by its timestamp. Timestamps coarser than a sample
// (ASF counts milliseconds) are moved onto the grid of whole frames from sample 0 when they
// lie that close to it, which makes them exact. False when the frame has no timestamp or
// starts after the target, so the jump cannot reach the target exactly.
bool PcmReader::PlaceFrame(const AVFrame& frame)
{
    const int64_t ts = frame.best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE || originPts_ == AV_NOPTS_VALUE)
        return false;
    const AVRational perSample{1, rate_};
    int64_t pos = av_rescale_q(ts - originPts_, timeBase_, perSample);
    const int64_t tick = av_rescale_q_rnd(1, timeBase_, perSample, AV_ROUND_UP); // samples per timestamp step
    if (tick > 1 && frameGrid_ > 1) {
        const int64_t snapped = (pos >= 0 ? pos + frameGrid_ / 2 : pos - frameGrid_ / 2) / frameGrid_ * frameGrid_;
        if (std::llabs(snapped - pos) <= 2 * tick)
            pos = snapped;
    }
    nextFramePos_ = pos;
    return pos <= dropUntil_;
}

// Handles the frame in frame_: places it, drops it whole when it ends before dropUntil_, else
// converts it into the staging buffer, without the samples before dropUntil_. False only
// when it cannot be converted.
bool PcmReader::HandleFrame()
{
    const AVFrame& frame = *frame_;
    const int64_t length = frame.nb_samples;
    frameGrid_ = std::gcd(frameGrid_, length);
    if (placeNextFrame_ && !PlaceFrame(frame))
        misplaced_ = true;
    placeNextFrame_ = false;
    const int64_t pos = nextFramePos_;
    nextFramePos_ += length;
    if (pos + length <= dropUntil_)
        return true;
    if (!EnsureConverter(frame))
        return false;
    pendingDrop_ = std::max<int64_t>(0, dropUntil_ - pos);
    uint8_t* out[1] = {staging_.data()};
    const int converted = swr_convert(converter_.get(), out, kStagingFrames,
        const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    if (converted < 0)
        return false;
    Stage(converted);
    return true;
}

void PcmReader::Stage(int converted)
{
    const int64_t dropped = std::min<int64_t>(pendingDrop_, converted);
    pendingDrop_ -= dropped;
    stagedBegin_ = static_cast<size_t>(dropped) * FrameBytes();
    stagedEnd_ = static_cast<size_t>(converted) * FrameBytes();
}

// Fills the empty staging buffer; false when the stream has nothing more.
bool PcmReader::Refill()
{
    stagedBegin_ = stagedEnd_ = 0;
    for (;;) {
        // Samples of a frame longer than the staging buffer wait in the converter.
        if (converter_ && swr_get_out_samples(converter_.get(), 0) > 0) {
            const uint8_t* noInput[AV_NUM_DATA_POINTERS] = {}; // not nullptr: that would flush a resampler
            uint8_t* out[1] = {staging_.data()};
            const int converted = swr_convert(converter_.get(), out, kStagingFrames, noInput, 0);
            if (converted < 0) {
                ended_ = true;
                return false;
            }
            if (converted > 0) {
                Stage(converted);
                if (stagedEnd_ > stagedBegin_)
                    return true;
                continue;
            }
            // none after all (the estimate counted a resampler's delay): on to the next frame
        }
        if (!framePending_ && !ReceiveFrame())
            return false;
        framePending_ = false;
        if (!HandleFrame()) {
            ended_ = true;
            return false;
        }
        if (stagedEnd_ > stagedBegin_)
            return true;
    }
}

size_t PcmReader::Read(uint8_t* out, size_t maxBytes)
{
    if (!IsOpen() || !out)
        return 0;
    atStart_ = false;
    const size_t want = maxBytes / FrameBytes() * FrameBytes();
    size_t written = 0;
    while (written < want) {
        if (stagedBegin_ == stagedEnd_ && !Refill())
            break;
        const size_t take = std::min(want - written, stagedEnd_ - stagedBegin_);
        std::memcpy(out + written, staging_.data() + stagedBegin_, take);
        stagedBegin_ += take;
        written += take;
    }
    return written;
}

bool PcmReader::Seek(int64_t ms)
{
    if (!IsOpen())
        return false;
    const StreamRules rules = rules_;
    const std::string path = path_;
    // Positions are counted from sample 0, so a reader that has moved starts over.
    if (!atStart_ && !Open(path.c_str(), rules))
        return false;
    atStart_ = false;
    const int64_t target = av_rescale(std::max<int64_t>(ms, 0), rate_, 1000);
    dropUntil_ = target;
    if (target <= 2 * kPrerollSamples || originPts_ == AV_NOPTS_VALUE)
        return true; // decode from here and drop
    if (Jump(target))
        return true;
    // The file cannot be jumped in, or the jump came out after the target: decode from the
    // start and drop instead. Slow on long files, but exact.
    if (!Open(path.c_str(), rules))
        return false;
    atStart_ = false;
    dropUntil_ = target;
    return true;
}

// Moves the demuxer to a frame at least kPrerollSamples before target and decodes up to the
// first sample at target, which then waits in the staging buffer. False when the demuxer
// cannot seek or the landing frame cannot be placed at or before target.
bool PcmReader::Jump(int64_t target)
{
    const int64_t ts = originPts_ + av_rescale_q(target - kPrerollSamples, AVRational{1, rate_}, timeBase_);
    if (av_seek_frame(input_.get(), stream_, ts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(decoder_.get());
    if (converter_ && swr_init(converter_.get()) < 0) // forgets samples held from before the jump
        return false;
    framePending_ = false;
    flushed_ = false;
    ended_ = false;
    stagedBegin_ = stagedEnd_ = 0;
    pendingDrop_ = 0;
    placeNextFrame_ = true;
    misplaced_ = false;
    // No frame at all after the jump cannot be told from a bad landing: placeNextFrame_ is
    // then still set, and the caller decodes from the start.
    Refill();
    return !misplaced_ && !placeNextFrame_;
}

void PcmReader::Close()
{
    converter_.reset();
    frame_.reset();
    packet_.reset();
    decoder_.reset();
    input_.reset();
    av_channel_layout_uninit(&converterInLayout_);
    converterInRate_ = 0;
    converterInFormat_ = -1;
    path_.clear();
    rules_ = StreamRules{};
    stream_ = -1;
    timeBase_ = AVRational{0, 1};
    rate_ = channels_ = 0;
    bitrate_ = durationMs_ = 0;
    std::vector<uint8_t>().swap(staging_);
    stagedBegin_ = stagedEnd_ = 0;
    originPts_ = firstPacketPts_ = AV_NOPTS_VALUE;
    frameGrid_ = nextFramePos_ = dropUntil_ = pendingDrop_ = 0;
    framePending_ = placeNextFrame_ = misplaced_ = atStart_ = flushed_ = ended_ = false;
}

} // namespace decode
