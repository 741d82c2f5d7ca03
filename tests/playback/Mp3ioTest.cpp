#include "engines/record/WavSink.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TempFolder.h"
#include "framework/Form.h"
#include "playback/mp3io.h"
#include "playback/wmaio.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::string Le32(uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Le16(uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

std::string Chunk(const std::string& id, const std::string& body)
{
    return id + Le32(static_cast<uint32_t>(body.size())) + body + (body.size() & 1 ? std::string(1, '\0') : "");
}

std::string Fmt(uint32_t rate, uint16_t channels, uint16_t bits, size_t size = 16)
{
    std::string f = Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * channels * bits / 8)
        + Le16(static_cast<uint16_t>(channels * bits / 8)) + Le16(bits);
    f.resize(size, '\0');
    return Chunk("fmt ", f);
}

std::string Wav(const std::string& chunks)
{
    return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// 16-bit samples counting up from 0 (wrapping), so a position can be read off a sample.
std::string Counting(size_t samples)
{
    std::string data(samples * 2, '\0');
    for (size_t i = 0; i < samples; ++i) {
        const auto v = static_cast<uint16_t>(i);
        std::memcpy(data.data() + 2 * i, &v, 2);
    }
    return data;
}

std::string Repeated(int16_t left, int16_t right, size_t frames)
{
    std::string data;
    for (size_t i = 0; i < frames; ++i)
        data += Le16(static_cast<uint16_t>(left)) + Le16(static_cast<uint16_t>(right));
    return data;
}

class Mp3io : public testing::Test {
protected:
    AudioFileInfo Describe(const std::string& name, const std::string& bytes, bool expected)
    {
        fakes::WriteWholeFile(folder.File(name), bytes);
        AudioFileInfo info;
        EXPECT_EQ(DescribeAudioFile(folder.File(name), info), expected) << name;
        return info;
    }
    // Every byte the reader gives from startMs to its end.
    static std::string ReadAll(const std::string& path, const AudioFileInfo& info, int32_t startMs)
    {
        std::string all;
        if (OpenAudioReader(path, info, startMs)) {
            const uint8_t* block = nullptr;
            uint32_t size = 0;
            while (ReadAudioBlock(info, block, size))
                all.append(reinterpret_cast<const char*>(block), size);
        }
        CloseAudioReader(info);
        return all;
    }
    fakes::TempFolder folder;
};

TEST_F(Mp3io, DescribesWavFilesByTheirChunks)
{
    auto info = Describe("44100-2-16.wav", Wav(Fmt(44100, 2, 16) + Chunk("data", std::string(176400, '\0'))), true);
    EXPECT_EQ(info.Kind, akWav);
    EXPECT_EQ(info.SampleRate, 44100u);
    EXPECT_EQ(info.Channels, 2u);
    EXPECT_EQ(info.Bitrate, 1378u);
    EXPECT_EQ(info.DurationMs, 1000u);
    EXPECT_EQ(info.Reserved1 | info.Reserved2 | info.Reserved3, 0);

    EXPECT_EQ(Describe("8000-1-16.wav", Wav(Fmt(8000, 1, 16) + Chunk("data", "abcd")), true).DurationMs, 0u);
    EXPECT_EQ(Describe("8000-1-16.wav", Wav(Fmt(8000, 1, 16) + Chunk("data", "abcd")), true).Bitrate, 125u);

    // 8-bit: real rate and channels, half the real length, and a failure.
    info = Describe("8000-1-8.wav", Wav(Fmt(8000, 1, 8) + Chunk("data", std::string(8000, '\x80'))), false);
    EXPECT_EQ(info.Kind, akWav);
    EXPECT_EQ(info.SampleRate, 8000u);
    EXPECT_EQ(info.Channels, 1u);
    EXPECT_EQ(info.DurationMs, 500u);

    // "fmt " of 40 bytes, chunks between it and "data": the data is still found.
    info = Describe("22050-1-16.wav",
        Wav(Fmt(22050, 1, 16, 40) + Chunk("LIST", "INFOodd") + Chunk("fact", "1234") + Chunk("data", std::string(44100, '\0'))),
        true);
    EXPECT_EQ(info.DurationMs, 1000u);
    EXPECT_EQ(info.Bitrate, 344u);
}

TEST_F(Mp3io, BrokenWavFilesDescribeAsFailures)
{
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"rate0.wav", Wav(Fmt(0, 2, 16) + Chunk("data", "abcd"))},
             {"channels0.wav", Wav(Fmt(44100, 0, 16) + Chunk("data", "abcd"))},
             {"nofmt.wav", Wav(Chunk("data", "abcd"))},
             {"nodata.wav", Wav(Fmt(44100, 2, 16))},
             {"empty.wav", ""},
             {"junk.wav", "this is not a wave file at all"},
             {"truncated.wav", Wav(Fmt(44100, 2, 16) + Chunk("data", std::string(100, '\0'))).substr(0, 30)}}) {
        const auto info = Describe(name, bytes, false);
        EXPECT_EQ(info.Kind, akWav) << name;
        EXPECT_EQ(info.DurationMs, 0u) << name;
        EXPECT_EQ(info.SampleRate, 0u) << name << ": no values left over from a failed step";
    }
    AudioFileInfo info;
    EXPECT_FALSE(DescribeAudioFile(folder.File("missing.wav"), info));
    EXPECT_EQ(info.Kind, akWav);
}

TEST_F(Mp3io, ExtensionRule)
{
    fakes::ModalAnswers answers({framework::IDOK, {}});
    // Upper-cased extension: .Mp3 is MP3 (here a junk one, which the decoder refuses).
    auto info = Describe("junk.Mp3", "not an mp3", false);
    EXPECT_EQ(info.Kind, akMp3);
    EXPECT_EQ(info.DurationMs, 0u);
    EXPECT_TRUE(answers.Seen().empty());

    info = AudioFileInfo{};
    info.Kind = akWav;
    info.DurationMs = 1234;
    fakes::WriteWholeFile(folder.File("a.ogg"), "x");
    EXPECT_FALSE(DescribeAudioFile(folder.File("a.ogg"), info));
    EXPECT_EQ(info.Kind, akWav) << "the previous description stays";
    EXPECT_EQ(info.DurationMs, 1234u);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "We can only accept mp3 and wav file");
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].flags, framework::MB_OK | framework::MB_ICONERROR);
    EXPECT_FALSE(DescribeAudioFile(folder.File("no-extension"), info));
    EXPECT_EQ(answers.Seen().size(), 2u);
}

TEST_F(Mp3io, WavReaderStartsAtTheFrameAndPostsBlockLevels)
{
    const auto path = folder.File("22050-1-16.wav");
    fakes::WriteWholeFile(path, Wav(Fmt(22050, 1, 16) + Chunk("data", Counting(3 * 22050))));
    AudioFileInfo info;
    ASSERT_TRUE(DescribeAudioFile(path, info));
    ASSERT_TRUE(OpenAudioReader(path, info, 1500));
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(ReadAudioBlock(info, block, size));
    EXPECT_EQ(size, AudioBlockBytes);
    uint16_t first;
    std::memcpy(&first, block, 2);
    EXPECT_EQ(first, 33075u) << "1500 ms in: 33075 frames, 66150 bytes";
    size_t total = size;
    while (ReadAudioBlock(info, block, size)) {
        EXPECT_LE(size, AudioBlockBytes);
        total += size;
    }
    EXPECT_EQ(total, 66150u);
    CloseAudioReader(info);
    CloseAudioReader(info); // a second close does nothing

    // Levels of 8192-byte blocks, stereo and described as mono.
    framework::TForm window;
    std::vector<std::pair<uintptr_t, intptr_t>> levels;
    window.OnMessage(framework::WM_LEVEL, [&](framework::TMessage& m) { levels.emplace_back(m.WParam, m.LParam); });
    SetReaderLevelTarget(&window);
    const auto stereo = folder.File("44100-2-16.wav");
    fakes::WriteWholeFile(stereo, Wav(Fmt(44100, 2, 16) + Chunk("data", Repeated(1000, -1000, 2048))));
    ASSERT_TRUE(DescribeAudioFile(stereo, info));
    for (uint32_t channels : {2u, 1u}) {
        info.Channels = channels;
        ASSERT_TRUE(OpenAudioReader(stereo, info, 0));
        ASSERT_TRUE(ReadAudioBlock(info, block, size));
        EXPECT_EQ(size, 8192u);
        EXPECT_FALSE(ReadAudioBlock(info, block, size));
        CloseAudioReader(info);
    }
    QCoreApplication::processEvents();
    SetReaderLevelTarget(nullptr);
    EXPECT_EQ(levels, (std::vector<std::pair<uintptr_t, intptr_t>>{{1000, 1000}, {1000, 1000}}));

    const uint8_t two[2] = {0xE8, 0x03};
    EXPECT_EQ(AverageLevels(two, 2, 2).left, 0u);
    EXPECT_EQ(AverageLevels(two, 2, 2).right, 0u);
    const uint8_t loud[4] = {0x00, 0x80, 0x00, 0x80}; // -32768 twice
    EXPECT_EQ(AverageLevels(loud, 4, 2).left, 32768u);
}

TEST_F(Mp3io, WavLengthAndStartFrameRoundHalvesToEven)
{
    // 8024 bytes at 8000 Hz mono: 501.5 ms.
    EXPECT_EQ(Describe("8000-1-16.wav", Wav(Fmt(8000, 1, 16) + Chunk("data", std::string(8024, '\0'))), true).DurationMs,
        502u);

    // At 11025 Hz, 340 ms is frame 3748.5 and 700 ms frame 7717.5. A recording continued at
    // the position starts on the very frame that playing from it starts on.
    const auto path = folder.File("11025-1-16.wav");
    for (const auto& [ms, frame] : {std::pair{340, 3748}, std::pair{700, 7718}}) {
        fakes::WriteWholeFile(path, Wav(Fmt(11025, 1, 16) + Chunk("data", Counting(11025))));
        AudioFileInfo info;
        ASSERT_TRUE(DescribeAudioFile(path, info));
        EXPECT_EQ(ReadAll(path, info, ms).substr(0, 2), Le16(static_cast<uint16_t>(frame))) << ms << " ms";

        record::WavSink sink(path, 11025, 1, true, ms);
        std::string error;
        ASSERT_TRUE(sink.Prepare(error) && sink.Open(error)) << error;
        const int16_t marker = 30000;
        sink.Write(&marker, 1);
        sink.Finish();
        ASSERT_TRUE(DescribeAudioFile(path, info));
        EXPECT_EQ(ReadAll(path, info, ms), Le16(marker)) << ms << " ms: continued on another frame";
    }
}

TEST_F(Mp3io, AChunkAfterTheWavDataIsReadOnButNotCounted)
{
    // A LIST chunk behind the audio, where tagging programs append theirs: the length is the
    // data chunk's, and reading goes on into it (playback stops by the length).
    const auto path = folder.File("8000-2-16.wav");
    const std::string audio = Counting(2 * 3000);
    const std::string list = Chunk("LIST", "INFOICMT" + std::string(3001, 'x'));
    fakes::WriteWholeFile(path, Wav(Fmt(8000, 2, 16) + Chunk("data", audio) + list));
    AudioFileInfo info;
    ASSERT_TRUE(DescribeAudioFile(path, info));
    EXPECT_EQ(info.DurationMs, 375u);
    for (const int32_t ms : {0, 250}) {
        const size_t from = static_cast<size_t>(ms) * 8 * 4;
        const std::string read = ReadAll(path, info, ms);
        EXPECT_EQ(read, audio.substr(from) + list) << ms << " ms";
    }
}

std::string Le64(uint64_t v) { return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32)); }

// An RF64 header for 16-bit stereo at 44100 Hz: the sizes in ds64, 0xFFFFFFFF in their old places.
std::string Rf64Header(uint64_t dataBytes)
{
    return "RF64" + Le32(0xFFFFFFFFu) + "WAVE" + Chunk("ds64", Le64(dataBytes + 72) + Le64(dataBytes) + Le64(dataBytes / 4) + Le32(0))
        + Fmt(44100, 2, 16) + "data" + Le32(0xFFFFFFFFu);
}

TEST_F(Mp3io, Rf64FilesDescribeAndPlayExactlyPastFourGib)
{
    // Small, with a chunk behind the audio that the ds64 size leaves out.
    const std::string audio = Repeated(100, -100, 4410);
    const AudioFileInfo small = Describe("small.wav", Rf64Header(audio.size()) + audio + Chunk("LIST", "INFOxxxx"), true);
    EXPECT_EQ(small.DurationMs, 100u);
    EXPECT_EQ(ReadAll(folder.File("small.wav"), small, 0).substr(0, audio.size()), audio);

    // As ffmpeg writes it when told to (a LIST chunk between fmt and data).
    const std::string made = folder.File("ffmpeg.wav");
    ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -f lavfi -i sine=frequency=1000:duration=2 -ac 2 -rf64 always '"
                              + made + "'").c_str()),
        0);
    AudioFileInfo info;
    ASSERT_TRUE(DescribeAudioFile(made, info));
    EXPECT_EQ(info.DurationMs, 2000u);
    EXPECT_EQ(ReadAll(made, info, 1000).size(), 44100u * 4);

    // Past 4 GiB, sparsely: the length exact and a frame written past the limit read at its place.
    const uint64_t frames = (uint64_t{1} << 30) + 44100;
    const std::string huge = folder.File("huge.wav");
    fakes::WriteWholeFile(huge, Rf64Header(frames * 4));
    std::filesystem::resize_file(huge, 80 + frames * 4);
    const int32_t atMs = 24348500; // frame 1073768850, byte 4295075480
    const uint64_t frame = 1073768850;
    {
        std::fstream f(huge, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(80 + frame * 4));
        f.write("\x34\x12\x78\x56", 4);
    }
    ASSERT_TRUE(DescribeAudioFile(huge, info));
    EXPECT_EQ(info.DurationMs, static_cast<uint32_t>(std::llround(frames * 1000.0 / 44100)));
    ASSERT_TRUE(OpenAudioReader(huge, info, atMs));
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(ReadAudioBlock(info, block, size));
    ASSERT_GE(size, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block), 8), std::string("\x34\x12\x78\x56\0\0\0\0", 8));
    CloseAudioReader(info);
}

TEST_F(Mp3io, WmaNeedsTheRuntimeAndTheBinding)
{
    SetWmaRuntimeProbe([] { return false; });
    LoadWmaLibrary();
    EXPECT_FALSE(WmaLibraryLoaded);
    EXPECT_EQ(WmaIO.CheckWMAFileInfo, nullptr);
    const auto info = Describe("a.wma", "whatever", false);
    EXPECT_EQ(info.Kind, akWma) << "fails cleanly with empty slots";
    EXPECT_FALSE(OpenAudioReader(folder.File("a.wma"), info, 0));
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    EXPECT_FALSE(ReadAudioBlock(info, block, size));
    CloseAudioReader(info);

    SetWmaRuntimeProbe({});
    LoadWmaLibrary();
    EXPECT_TRUE(WmaLibraryLoaded);
    EXPECT_NE(WmaIO.ReadWMAFile, nullptr);
    EXPECT_EQ(WmaIO.EnumWMAFormat, nullptr) << "looked up, not offered";
    Describe("junk.wma", "not an asf file", false);
}

} // namespace
