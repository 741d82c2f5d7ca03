// The recording library's parts without a device: the ring, the levels, MP3 frame walking,
// WAV layout and the start checks.
#include "engines/record/Levels.h"
#include "engines/record/Mp3Frames.h"
#include "engines/record/CaptureClock.h"
#include "engines/record/SampleRing.h"
#include "engines/record/StartCheck.h"
#include "engines/record/WavLayout.h"
#include "engines/record/WavSink.h"
#include "fakes/DecodedAudio.h"
#include "fakes/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}
#include <numeric>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace record;

TEST(SampleRing, WrapsDropsAndKeepsOrderAcrossThreads)
{
    SampleRing ring(10);
    const uint8_t in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ring.Write(in, 8);
    uint8_t out[8] = {};
    EXPECT_EQ(ring.Read(out, 6), 6u);
    ring.Write(in, 8); // wraps round the end
    EXPECT_EQ(ring.Available(), 10u);
    EXPECT_EQ(ring.Dropped(), 0u);
    ring.Write(in, 3); // full: dropped and counted
    EXPECT_EQ(ring.Dropped(), 3u);
    uint8_t all[10] = {};
    EXPECT_EQ(ring.Read(all, 10), 10u);
    EXPECT_EQ(std::vector<uint8_t>(all, all + 10), (std::vector<uint8_t>{7, 8, 1, 2, 3, 4, 5, 6, 7, 8}));

    // Frames of four bytes: a write that does not fit whole keeps only whole frames.
    SampleRing framed(10, 4);
    framed.Write(in, 8);
    framed.Write(in, 8);
    EXPECT_EQ(framed.Available(), 8u);
    EXPECT_EQ(framed.Dropped(), 8u) << "two bytes were free, half a frame: nothing of it is kept";

    SampleRing big(4096);
    constexpr uint32_t Count = 200000;
    std::thread producer([&] {
        for (uint32_t i = 0; i < Count;) {
            if (big.Capacity() - big.Available() >= 4) {
                big.Write(reinterpret_cast<const uint8_t*>(&i), 4);
                ++i;
            }
        }
    });
    for (uint32_t expected = 0; expected < Count;) {
        uint32_t value;
        if (big.Available() >= 4) {
            big.Read(reinterpret_cast<uint8_t*>(&value), 4);
            ASSERT_EQ(value, expected++);
        } else {
            // The writer sleeps like this: a lost wake-up would hold the test for a minute.
            big.AwaitData(std::chrono::minutes(1));
        }
    }
    producer.join();

    // The stop wakes a writer that waits with nothing to read.
    std::thread waiter([&] { big.AwaitData(std::chrono::minutes(1)); });
    big.Wake();
    waiter.join();
}

TEST(CaptureClock, ShortfallBeyondDriftCountsWhole)
{
    constexpr int64_t Second = 1'000'000'000;
    // All there, or a drift of the sound clock within half a per cent: nothing lost.
    EXPECT_EQ(ClockShortfallFrames(441000, 10 * Second, 44100), 0u);
    EXPECT_EQ(ClockShortfallFrames(441000 * 60 - 13000, 600 * Second, 44100), 0u);
    // Device blocks in flight at the ends of a short recording are not a loss either, but a
    // quarter of a second is.
    EXPECT_EQ(ClockShortfallFrames(44100, Second + Second / 6, 44100), 0u);
    EXPECT_EQ(ClockShortfallFrames(44100, Second + Second / 4, 44100), 44100u / 4);
    // Unless the device's own blocks are that long (2048 frames at 8000 Hz).
    EXPECT_EQ(ClockShortfallFrames(8000, Second + Second / 2, 8000, 2 * 2048), 0u);
    // A third missing, as a device that drops sound delivers it: all of it counts.
    EXPECT_EQ(ClockShortfallFrames(44100 * 40, 60 * Second, 44100), 44100u * 20);
    // Hours at 192 kHz do not overflow.
    EXPECT_EQ(ClockShortfallFrames(0, 100 * 3600 * Second, 192000), uint64_t{192000} * 360000);
    EXPECT_EQ(ClockShortfallFrames(0, 0, 44100), 0u);
}

TEST(PeakLevels, StereoMonoAndFullScale)
{
    const int16_t stereo[] = {100, -200, -32768, 5, 300, 32767};
    const auto s = PeakLevels(stereo, 3, 2);
    EXPECT_EQ(s.left, 32768u);
    EXPECT_EQ(s.right, 32767u);
    const int16_t mono[] = {0, -7, 3};
    const auto m = PeakLevels(mono, 3, 1);
    EXPECT_EQ(m.left, 7u);
    EXPECT_EQ(m.right, 7u);
    EXPECT_EQ(PeakLevels(mono, 0, 1).left, 0u);
}

namespace {
// A layer III frame header of MPEG-1 (44100, stereo) at the given bitrate index, with a body
// of zeros; optionally an Info tag in it.
std::vector<uint8_t> Frame(int bitrateIndex = 9 /*128k*/, bool info = false)
{
    const size_t length = 144 * 128000 / 44100; // 417 at 128 kbit/s, no padding
    std::vector<uint8_t> f(length, 0);
    f[0] = 0xFF;
    f[1] = 0xFB;
    f[2] = static_cast<uint8_t>(bitrateIndex << 4);
    f[3] = 0x00;
    if (info)
        std::memcpy(f.data() + 36, "Info", 4);
    return f;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}
} // namespace

TEST(Mp3Frames, HeadersAndId3)
{
    const auto f = ParseMp3Frame(Frame().data(), 417);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->bitrateKbps, 128);
    EXPECT_EQ(f->sampleRate, 44100);
    EXPECT_EQ(f->channels, 2);
    EXPECT_EQ(f->samplesPerFrame, 1152);
    EXPECT_EQ(f->length, 417u);
    const uint8_t mpeg2Mono[] = {0xFF, 0xF3, 0x80, 0xC0}; // MPEG-2, 64 kbit/s, 22050, mono
    const auto g = ParseMp3Frame(mpeg2Mono, 4);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->sampleRate, 22050);
    EXPECT_EQ(g->channels, 1);
    EXPECT_EQ(g->samplesPerFrame, 576);
    const uint8_t bad[] = {0xFF, 0xFB, 0xF0, 0x00}; // bitrate index 15
    EXPECT_FALSE(ParseMp3Frame(bad, 4));
    EXPECT_FALSE(ParseMp3Frame(bad, 3));

    std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0}; // body of 128 bytes
    tag.resize(10 + 128, 0);
    EXPECT_EQ(Id3v2Size(tag.data(), tag.size()), 138u);
    EXPECT_EQ(Id3v2Size(tag.data(), 50), 50u) << "a tag longer than the file is the whole file";
    EXPECT_EQ(Id3v2Size(Frame().data(), 417), 0u);
}

TEST(Mp3Frames, CutAtTheBoundaryAtOrBeforeThePosition)
{
    // Ten frames of 1152 samples at 44100: boundaries every 26.12 ms.
    std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    tag.resize(30, 0);
    std::vector<uint8_t> frames;
    for (int i = 0; i < 10; ++i)
        frames = Concat({frames, Frame()});
    const auto file = Concat({tag, Frame(9, true), frames, {'T', 'A', 'G', 1, 2, 3}});
    const size_t audio = 30 + 417; // after the tag and the Info frame

    EXPECT_EQ(FindMp3Cut(file, 0).offset, audio);
    EXPECT_EQ(FindMp3Cut(file, 26).offset, audio) << "26 ms is before the first boundary at 26.12";
    EXPECT_EQ(FindMp3Cut(file, 27).offset, audio + 417);
    EXPECT_EQ(FindMp3Cut(file, 100).offset, audio + 3 * 417);
    EXPECT_EQ(FindMp3Cut(file, 1000000).offset, audio + 10 * 417) << "the end of the audio; the trailing tag goes";
    const auto cut = FindMp3Cut(file, 0);
    ASSERT_TRUE(cut.format);
    EXPECT_EQ(cut.format->bitrateKbps, 128);

    EXPECT_EQ(FindMp3Cut(tag, 500).offset, 30u) << "a tag alone: new frames follow it";
    EXPECT_FALSE(FindMp3Cut(tag, 500).format);
    EXPECT_EQ(FindMp3Cut({}, 500).offset, 0u);
}

TEST(WavLayoutAndSink, NewContinuedAndBrokenFiles)
{
    fakes::TempFolder folder;
    const auto path = folder.File("44100-2-16.wav");
    {
        WavSink sink(path, 44100, 2, false, 0);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error));
        ASSERT_TRUE(sink.Open(error));
        std::vector<int16_t> pcm(2 * 44100);
        std::iota(pcm.begin(), pcm.end(), int16_t{0});
        sink.Write(pcm.data(), 44100);
        sink.Finish();
    }
    auto layout = ReadWavLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->rate, 44100);
    EXPECT_EQ(layout->channels, 2);
    EXPECT_EQ(layout->dataOffset, 80u) << "a JUNK chunk keeps room for the 64-bit sizes";
    EXPECT_EQ(layout->ds64At, 12u);
    EXPECT_EQ(layout->dataBytes, 44100u * 4);

    {
        // Continue at 500 ms, in the file's own format whatever is asked.
        WavSink sink(path, 8000, 1, true, 500);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error));
        EXPECT_EQ(sink.Rate(), 44100);
        EXPECT_EQ(sink.Channels(), 2);
        ASSERT_TRUE(sink.Open(error));
        const std::vector<int16_t> more(2 * 100, 7);
        sink.Write(more.data(), 100);
        sink.Finish();
    }
    layout = ReadWavLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataBytes, (22050u + 100u) * 4);
    const auto bytes = fakes::ReadWholeFile(path);
    EXPECT_EQ(bytes.size(), 80u + (22050u + 100u) * 4);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    const auto* samples = reinterpret_cast<const int16_t*>(bytes.data() + 80);
    EXPECT_EQ(samples[2 * 22050 - 1], static_cast<int16_t>(2 * 22050 - 1)) << "audio before the position is kept";
    EXPECT_EQ(samples[2 * 22050], 7);

    for (const std::string& junk : {std::string(), std::string("RIFF\x10\0\0\0WAVEdata", 16),
             std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\0\0\0\0\x04\0\x08\0data\0\0\0\0", 44)}) {
        fakes::WriteWholeFile(folder.File("junk.wav"), junk);
        EXPECT_FALSE(ReadWavLayout(folder.File("junk.wav"))) << "8-bit, missing fmt or empty";
        WavSink sink(folder.File("junk.wav"), 44100, 2, true, 0);
        std::string error;
        EXPECT_FALSE(sink.Prepare(error));
        EXPECT_EQ(fakes::ReadWholeFile(folder.File("junk.wav")), junk) << "a refused continue changes nothing";
    }
}

TEST(StartCheck, RefusesWhatCannotWork)
{
    fakes::TempFolder folder;
    const StartRecordParams good{1, 44100, 2, 2000, 16, 128};
    std::string error;
    EXPECT_TRUE(CheckStart(good, folder.File("a.mp3"), false, error)) << error;
    auto with = [&](auto change) {
        StartRecordParams p = good;
        change(p);
        return p;
    };
    EXPECT_FALSE(CheckStart(with([](auto& p) { p.SampleRate = 7999; }), folder.File("a.mp3"), false, error));
    EXPECT_FALSE(CheckStart(with([](auto& p) { p.SampleRate = 192001; }), folder.File("a.mp3"), false, error));
    EXPECT_FALSE(CheckStart(with([](auto& p) { p.Channels = 3; }), folder.File("a.mp3"), false, error));
    EXPECT_FALSE(CheckStart(with([](auto& p) { p.Format = 3; }), folder.File("a.mp3"), false, error));
    EXPECT_FALSE(CheckStart(with([](auto& p) { p.Format = 2; }), folder.File("a.wma"), true, error));
    EXPECT_FALSE(CheckStart(good, "", false, error));
    EXPECT_FALSE(CheckStart(good, folder.File("missing/a.mp3"), false, error));
    EXPECT_FALSE(CheckStart(good, folder.File("absent.mp3"), true, error)) << "nothing to continue";
    EXPECT_FALSE(CheckStart(good, folder.Path(), false, error)) << "a folder";
}

namespace {
// Makes the WAV file at path `dataBytes` of audio long, sparsely, with its header saying so
// in 32 bits (what a continued file near the limit looks like).
void GrowSparsely(const std::string& path, uint64_t dataOffset, uint64_t dataBytes)
{
    std::filesystem::resize_file(path, dataOffset + dataBytes);
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    const uint32_t riff = static_cast<uint32_t>(dataOffset + dataBytes - 8);
    const uint32_t data = static_cast<uint32_t>(dataBytes);
    f.seekp(4);
    f.write(reinterpret_cast<const char*>(&riff), 4);
    f.seekp(static_cast<std::streamoff>(dataOffset - 4));
    f.write(reinterpret_cast<const char*>(&data), 4);
}

uint64_t Le64At(const std::string& bytes, size_t at)
{
    uint64_t v = 0;
    std::memcpy(&v, bytes.data() + at, 8);
    return v;
}
} // namespace

TEST(WavLayoutAndSink, PastFourGibTheFileBecomesRf64AndBackWhenCutBelow)
{
    fakes::TempFolder folder;
    const auto path = folder.File("44100-2-16.wav");
    {
        WavSink sink(path, 44100, 2, false, 0);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error) && sink.Open(error));
        sink.Finish();
    }
    const uint64_t nearly = 0xFFFFFFFFull - 1000; // data bytes: a second more passes the limit
    GrowSparsely(path, 80, nearly);
    const uint64_t frames = nearly / 4 + 44100;
    {
        WavSink sink(path, 44100, 2, true, INT32_MAX);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error) && sink.Open(error)) << error;
        const std::vector<int16_t> second(2 * 44100, 1);
        sink.Write(second.data(), 44100);
        sink.Finish();
        EXPECT_FALSE(sink.Failed());
    }
    const uint64_t size = std::filesystem::file_size(path);
    EXPECT_EQ(size, 80 + frames * 4);
    std::string header(80, '\0');
    std::ifstream(path, std::ios::binary).read(header.data(), 80);
    EXPECT_EQ(header.substr(0, 4), "RF64");
    EXPECT_EQ(header.substr(12, 4), "ds64");
    EXPECT_EQ(Le64At(header, 20), size - 8);
    EXPECT_EQ(Le64At(header, 28), frames * 4);
    EXPECT_EQ(Le64At(header, 36), frames);
    EXPECT_EQ(header.substr(4, 4), "\xff\xff\xff\xff");
    EXPECT_EQ(header.substr(76, 4), "\xff\xff\xff\xff");
    auto layout = ReadWavLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->rf64);
    EXPECT_EQ(layout->dataBytes, frames * 4);

    // FFmpeg reads the 64-bit length.
    AVFormatContext* input = nullptr;
    ASSERT_EQ(avformat_open_input(&input, path.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(input, nullptr), 0);
    EXPECT_NEAR(input->duration / double(AV_TIME_BASE), frames / 44100.0, 0.01);
    avformat_close_input(&input);

    {
        // Continued from one second in: below 4 GiB again, a plain RIFF WAVE.
        WavSink sink(path, 44100, 2, true, 1000);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error) && sink.Open(error)) << error;
        sink.Finish();
    }
    std::ifstream(path, std::ios::binary).read(header.data(), 80);
    EXPECT_EQ(header.substr(0, 4), "RIFF");
    EXPECT_EQ(header.substr(12, 4), "JUNK");
    layout = ReadWavLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_FALSE(layout->rf64);
    EXPECT_EQ(layout->dataBytes, 44100u * 4);

    // An RF64 file as ffmpeg writes it (a LIST chunk before the data) is continued as well.
    const auto made = folder.File("ffmpeg.wav");
    ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -f lavfi -i sine=frequency=1000:duration=2 -ac 2 -rf64 always '"
                              + made + "'").c_str()),
        0);
    {
        WavSink sink(made, 44100, 2, true, 1000);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error) && sink.Open(error)) << error;
        const std::vector<int16_t> half(2 * 22050, 1);
        sink.Write(half.data(), 22050);
        sink.Finish();
    }
    const auto continued = fakes::DecodeAudioFile(made);
    ASSERT_TRUE(continued.ok) << continued.error;
    EXPECT_EQ(continued.samples.size(), 2u * (44100 + 22050));
}

TEST(WavLayoutAndSink, AFileWithoutRoomForRf64StopsAtTheRiffLimitAndSaysSo)
{
    fakes::TempFolder folder;
    const auto path = folder.File("old.wav");
    // A 44-byte header, as older recordings have.
    fakes::WriteWholeFile(path, std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\0\0\0\0", 44));
    GrowSparsely(path, 44, WavSink::MaxRiffFileBytes - 1000 - 44);
    WavSink sink(path, 44100, 2, true, INT32_MAX);
    std::string error;
    ASSERT_TRUE(sink.Prepare(error) && sink.Open(error)) << error;
    const std::vector<int16_t> second(2 * 44100, 1);
    sink.Write(second.data(), 44100);
    EXPECT_EQ(sink.Error(), EFBIG) << "the recording is stopped as by a full disk";
    sink.Finish();
    const uint64_t size = std::filesystem::file_size(path);
    EXPECT_LE(size, WavSink::MaxRiffFileBytes);
    EXPECT_GT(size, WavSink::MaxRiffFileBytes - 4);
    const auto layout = ReadWavLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataOffset + layout->dataBytes, size) << "the header counts every byte of audio";
}
