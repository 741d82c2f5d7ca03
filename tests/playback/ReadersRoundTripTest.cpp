// What the recording library writes, the readers read back: MP3 and WMA made by our own
// sinks, described and read through the uniform reader with their levels.
#include "engines/record/Mp3Sink.h"
#include "engines/record/WmaSink.h"
#include "fakes/TempFolder.h"
#include "fakes/TestNames.h"
#include "fakes/TestSignal.h"
#include "framework/Form.h"
#include "playback/mp3io.h"
#include "playback/wmaio.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}
#include <memory>

namespace {

void Encode(record::AudioSink& sink, const std::vector<int16_t>& pcm, int channels)
{
    std::string error;
    ASSERT_TRUE(sink.Prepare(error)) << error;
    ASSERT_TRUE(sink.Open(error)) << error;
    sink.Write(pcm.data(), pcm.size() / static_cast<size_t>(channels));
    sink.Finish();
}

struct Case {
    const char* name;
    int rate;
    int channels;
    int kbps;
    AudioFileKind kind;
    uint32_t frameSamples; // the reading tolerance: one decoder frame
};

class ReadersRoundTrip : public testing::TestWithParam<Case> {};

TEST_P(ReadersRoundTrip, DescribeAndReadWhatWasRecorded)
{
    const Case c = GetParam();
    fakes::TempFolder folder;
    const auto path = folder.File(c.name);
    const auto pcm = fakes::MakeSine(c.rate, c.channels, 3.0, 1000, 0.5);
    std::unique_ptr<record::AudioSink> sink;
    if (c.kind == akMp3)
        sink = std::make_unique<record::Mp3Sink>(path, c.rate, c.channels, c.kbps, false, 0);
    else
        sink = std::make_unique<record::WmaSink>(path, c.rate, c.channels, c.kbps);
    Encode(*sink, pcm, c.channels);

    LoadWmaLibrary();
    AudioFileInfo info;
    ASSERT_TRUE(DescribeAudioFile(path, info));
    EXPECT_EQ(info.Kind, c.kind);
    EXPECT_EQ(info.SampleRate, static_cast<uint32_t>(c.rate));
    EXPECT_EQ(info.Channels, static_cast<uint32_t>(c.channels));
    EXPECT_NEAR(info.Bitrate, c.kbps, c.kbps / 10.0);
    EXPECT_NEAR(info.DurationMs, 3000, 100);

    framework::TForm window;
    std::vector<std::pair<uintptr_t, intptr_t>> levels;
    window.OnMessage(framework::WM_LEVEL, [&](framework::TMessage& m) { levels.emplace_back(m.WParam, m.LParam); });
    SetReaderLevelTarget(&window);
    // FFmpeg's own steps (a WMA seek's "asf_read_pts failed") stay off the user's terminal.
    const int logLevel = av_log_get_level();
    av_log_set_level(AV_LOG_INFO);
    ASSERT_TRUE(OpenAudioReader(path, info, 1000));
    EXPECT_EQ(av_log_get_level(), AV_LOG_ERROR);
    av_log_set_level(logLevel);
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    uint64_t bytes = 0;
    int blocks = 0;
    while (ReadAudioBlock(info, block, size)) {
        ASSERT_LE(size, AudioBlockBytes);
        bytes += size;
        ++blocks;
    }
    CloseAudioReader(info);
    QCoreApplication::processEvents();
    SetReaderLevelTarget(nullptr);

    const double frames = static_cast<double>(bytes) / (2.0 * c.channels);
    // Our MP3 frames carry no header naming the encoder's delay (1105 samples) and padding,
    // so they decode that much longer than the signal.
    const double lead = c.kind == akMp3 ? 1105.0 + c.frameSamples : 0.0;
    EXPECT_NEAR(frames, 2.0 * c.rate + lead / 2, 2.0 * c.frameSamples + lead / 2) << "two seconds from the 1000 ms position";
    ASSERT_GE(levels.size(), static_cast<size_t>(blocks));
    // The mean absolute value of a sine of half scale: 0.5 x 2/pi x 32767.
    const auto& middle = levels[levels.size() / 2];
    EXPECT_NEAR(static_cast<double>(middle.first), 10430, 800);
    EXPECT_NEAR(static_cast<double>(middle.second), 10430, 800);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReadersRoundTrip,
    testing::Values(Case{"44100-2-128k.mp3", 44100, 2, 128, akMp3, 1152},
        Case{"22050-1-64k.mp3", 22050, 1, 64, akMp3, 576},
        Case{"44100-2-64k.wma", 44100, 2, 64, akWma, 2048},
        Case{"44100-1-48k.wma", 44100, 1, 48, akWma, 2048}),
    [](const auto& info) { return fakes::TestNameOf(info.param.name); });

} // namespace
