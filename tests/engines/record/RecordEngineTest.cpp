// The recording library for real: SDL's disk audio driver plays a raw PCM file that the test
// writes into the capture, and FFmpeg reads back what the library wrote.
#include "engines/record/RecordApi.h"
#include "fakes/DecodedAudio.h"
#include "fakes/TempFolder.h"
#include "fakes/TestNames.h"
#include "fakes/TestSignal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct LevelLog {
    std::mutex mutex;
    std::vector<std::pair<uint32_t, uint32_t>> levels;
    static void Report(void* self, uint32_t left, uint32_t right)
    {
        auto* log = static_cast<LevelLog*>(self);
        std::lock_guard lock(log->mutex);
        log->levels.emplace_back(left, right);
    }
    size_t Size()
    {
        std::lock_guard lock(mutex);
        return levels.size();
    }
};

class RecordEngine : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY"); // real time, as a sound card delivers
        SetLevelReport(&LevelLog::Report, &log);
    }
    void TearDown() override
    {
        StopRecord();
        SetLevelReport(nullptr, nullptr);
    }

    // The capture input from now on: a tone on the left and another on the right.
    void Feed(int rate, int channels, double leftHz, double amplitude, double rightHz = 0)
    {
        const auto input = folder.File("input-" + std::to_string(feeds++) + ".raw");
        fakes::WriteRawPcm(input, fakes::MakeSine(rate, channels, 20, leftHz, amplitude, rightHz));
        setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
    }

    bool Record(const StartRecordParams& params, const std::string& path, std::chrono::milliseconds length,
        int32_t append = 0, int32_t startMs = 0)
    {
        if (!StartRecord(&params, path.c_str(), append, startMs, 0))
            return false;
        std::this_thread::sleep_for(length);
        StopRecord();
        return true;
    }

    fakes::TempFolder folder;
    LevelLog log;
    int feeds = 0;
};

struct FormatCase {
    int32_t format;
    int rate;
    int channels;
    int kbps;
    const char* name;
    double levelTolerance;
    double extraSeconds; // the encoder's delay and last frame
};

class RecordEachFormat : public RecordEngine, public testing::WithParamInterface<FormatCase> {};

TEST_P(RecordEachFormat, WritesTheSignalAtTheRequestedFormat)
{
    const FormatCase c = GetParam();
    Feed(c.rate, c.channels, 1000, 0.5, c.channels == 2 ? 1500 : 0);
    const auto path = folder.File(c.name);
    ASSERT_TRUE(Record({c.format, c.rate, c.channels, 2000, 16, c.kbps}, path, 2000ms));

    const auto audio = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_EQ(audio.rate, c.rate);
    EXPECT_EQ(audio.channels, c.channels);
    // Capture starts and stops on device blocks (2048 frames at least, 256 ms at 8000 Hz): up
    // to two can fall outside the two seconds, more so on a loaded machine.
    const double block = 2048.0 / c.rate;
    EXPECT_NEAR(audio.Seconds(), 2.0 + c.extraSeconds / 2, std::max(0.15, 2 * block + 0.1) + c.extraSeconds / 2);
    const size_t from = static_cast<size_t>(c.rate / 2); // past the encoder's start-up
    const size_t count = static_cast<size_t>(c.rate);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, c.channels, 0, c.rate, from, count), 1000, 10);
    EXPECT_NEAR(fakes::ToneLevel(audio.samples, c.channels, 0, c.rate, 1000, from, count), 0.5, c.levelTolerance);
    if (c.channels == 2) {
        EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 1, c.rate, from, count), 1500, 15);
    }

    // Peaks of every block, once the tone is flowing, match the signal within 1 %.
    std::lock_guard lock(log.mutex);
    ASSERT_GT(log.levels.size(), 10u);
    for (size_t i = 2; i + 1 < log.levels.size(); ++i) {
        EXPECT_NEAR(log.levels[i].first, 16384, 164) << "block " << i;
        EXPECT_NEAR(log.levels[i].second, 16384, 164) << "block " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordEachFormat,
    testing::Values(FormatCase{0, 44100, 2, 128, "44100-2-16.wav", 0.01, 0.0},
        FormatCase{0, 8000, 1, 128, "8000-1-16.wav", 0.01, 0.0},
        FormatCase{1, 44100, 2, 128, "44100-2-128k.mp3", 0.05, 0.08},
        FormatCase{1, 22050, 1, 64, "22050-1-64k.mp3", 0.05, 0.12},
        FormatCase{2, 44100, 2, 64, "44100-2-64k.wma", 0.08, 0.1}),
    [](const auto& info) { return fakes::TestNameOf(info.param.name); });

TEST_F(RecordEngine, PauseWritesNothingButLevelsGoOn)
{
    Feed(44100, 2, 1000, 0.25);
    const auto path = folder.File("paused.wav");
    const StartRecordParams wav{0, 44100, 2, 2000, 16, 0};
    ASSERT_TRUE(StartRecord(&wav, path.c_str(), 0, 0, 0));
    std::this_thread::sleep_for(1000ms);
    PauseRecord();
    PauseRecord(); // twice: nothing more
    const size_t before = log.Size();
    std::this_thread::sleep_for(2000ms);
    const size_t during = log.Size() - before;
    ResumeRecord();
    std::this_thread::sleep_for(1000ms);
    StopRecord();

    const auto audio = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_NEAR(audio.Seconds(), 2.0, 0.15) << "the two paused seconds add nothing";
    EXPECT_GT(during, 100u) << "levels while paused";
    std::lock_guard lock(log.mutex);
    for (size_t i = before; i < before + during; ++i)
        EXPECT_NEAR(log.levels[i].first, 8192, 82);
}

TEST_F(RecordEngine, ContinuesWavAtAPositionKeepingWhatWasBefore)
{
    const auto path = folder.File("44100-2-16.wav");
    Feed(44100, 2, 1000, 0.5);
    ASSERT_TRUE(Record({0, 44100, 2, 2000, 16, 0}, path, 1500ms));
    const auto first = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(first.ok);

    // Continue at 700 ms with another tone, asking for another format: the file keeps its own.
    Feed(44100, 2, 2000, 0.5);
    ASSERT_TRUE(Record({0, 8000, 1, 2000, 16, 0}, path, 1000ms, 1, 700));
    const auto both = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(both.ok) << both.error;
    EXPECT_EQ(both.rate, 44100);
    EXPECT_EQ(both.channels, 2);
    EXPECT_NEAR(both.Seconds(), 1.7, 0.15);
    const size_t cut = 2 * 30870; // 700 ms of stereo samples
    ASSERT_GT(both.samples.size(), cut);
    EXPECT_TRUE(std::equal(first.samples.begin(), first.samples.begin() + cut, both.samples.begin()))
        << "audio before the position is unchanged sample for sample";
    EXPECT_NEAR(fakes::DominantFrequency(both.samples, 2, 0, 44100, 30870 + 11025, 22050), 2000, 20);

    // Continue from the end.
    ASSERT_TRUE(Record({0, 44100, 2, 2000, 16, 0}, path, 1000ms, 1, 1000000));
    EXPECT_NEAR(fakes::DecodeAudioFile(path).Seconds(), both.Seconds() + 1.0, 0.15);
}

TEST_F(RecordEngine, ContinuesMp3InItsOwnFormat)
{
    const auto path = folder.File("22050-1-64k.mp3");
    Feed(22050, 1, 1000, 0.5);
    ASSERT_TRUE(Record({1, 22050, 1, 2000, 16, 64}, path, 1500ms));
    const double firstSeconds = fakes::DecodeAudioFile(path).Seconds();
    Feed(22050, 1, 2000, 0.5); // what the device gives in the file's own format
    ASSERT_TRUE(Record({1, 44100, 2, 2000, 16, 192}, path, 1000ms, 1, 1000000));
    const auto audio = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_EQ(audio.rate, 22050);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_NEAR(audio.Seconds(), firstSeconds + 1.0, 0.2);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 1, 0, 22050, static_cast<size_t>((firstSeconds + 0.3) * 22050), 11025),
        2000, 30);

    // From a position: the frame boundary at or before 500 ms, then the new part.
    ASSERT_TRUE(Record({1, 22050, 1, 2000, 16, 64}, path, 1000ms, 1, 500));
    EXPECT_NEAR(fakes::DecodeAudioFile(path).Seconds(), 1.5, 0.2);
}

TEST_F(RecordEngine, RefusedStartsCreateNothing)
{
    Feed(44100, 2, 1000, 0.5);
    const auto path = folder.File("refused.wav");
    const auto refused = [&](StartRecordParams p, const std::string& target, int32_t append = 0) {
        const bool started = StartRecord(&p, target.c_str(), append, 0, 0);
        StopRecord();
        return !started && !std::filesystem::exists(target);
    };
    EXPECT_TRUE(refused({0, 7999, 2, 2000, 16, 0}, path));
    EXPECT_TRUE(refused({0, 192001, 2, 2000, 16, 0}, path));
    EXPECT_TRUE(refused({0, 44100, 0, 2000, 16, 0}, path));
    EXPECT_TRUE(refused({1, 44100, 2, 2000, 16, 0}, folder.File("nobitrate.mp3")));
    EXPECT_TRUE(refused({2, 44100, 2, 2000, 16, 64}, folder.File("continued.wma"), 1));
    EXPECT_TRUE(refused({2, 44100, 2, 2000, 16, 8}, folder.File("8k.wma"))) << "a bitrate the encoder refuses";
    EXPECT_TRUE(refused({0, 44100, 2, 2000, 16, 0}, folder.File("no/such/folder.wav")));
    EXPECT_TRUE(refused({0, 44100, 2, 2000, 16, 0}, folder.File("missing.wav"), 1));
    EXPECT_FALSE(StartRecord(nullptr, path.c_str(), 0, 0, 0));

    // No capture device at all.
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    EXPECT_TRUE(refused({0, 44100, 2, 2000, 16, 0}, path));
    setenv("SDL_AUDIODRIVER", "disk", 1);

    // A second start while one runs is refused and leaves the first alone.
    const StartRecordParams wav{0, 44100, 2, 2000, 16, 0};
    ASSERT_TRUE(StartRecord(&wav, path.c_str(), 0, 0, 0));
    EXPECT_FALSE(StartRecord(&wav, folder.File("second.wav").c_str(), 0, 0, 0));
    EXPECT_FALSE(std::filesystem::exists(folder.File("second.wav")));
    StopRecord();
    StopRecord(); // out of order: nothing
    ResumeRecord();
    EXPECT_TRUE(fakes::DecodeAudioFile(path).ok);
}

TEST(WmaFormats, EnumeratesWhatTheEncoderTakes)
{
    std::vector<std::array<int32_t, 3>> formats;
    static std::vector<std::array<int32_t, 3>>* sink;
    sink = &formats;
    EnumWMAFormat([](int32_t bitrate, int32_t channels, int32_t rate) { sink->push_back({bitrate, channels, rate}); });
    ASSERT_FALSE(formats.empty());
    EXPECT_NE(std::find(formats.begin(), formats.end(), std::array<int32_t, 3>{64000, 2, 44100}), formats.end());
    for (const auto& f : formats) {
        EXPECT_GE(f[0], 24000) << "the encoder takes nothing lower";
        EXPECT_TRUE(f[1] == 1 || f[1] == 2);
        EXPECT_GE(f[2], 8000);
        EXPECT_LE(f[2], 48000);
    }
    const size_t first = formats.size();
    EnumWMAFormat([](int32_t bitrate, int32_t channels, int32_t rate) { sink->push_back({bitrate, channels, rate}); });
    EXPECT_EQ(formats.size(), 2 * first) << "the same list every time";
}

} // namespace
