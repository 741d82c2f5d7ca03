// The wave output through SDL's disk driver, in real time: what the device takes lands in a
// file, so the test sees what would have been heard.
#include "fakes/BufferFeeder.h"
#include "fakes/ReturnedBuffers.h"
#include "fakes/TempFolder.h"
#include "platform/WaveOut.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t BufferBytes = 8192; // 2048 frames of 16-bit stereo
constexpr size_t BufferFrames = BufferBytes / 4;
constexpr size_t DeviceFrames = 1024;

// Stereo frames no stretch of which repeats and none of which is silent: the left channel
// counts up, the right one counts its turns.
std::vector<int16_t> Counting(size_t frames)
{
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        samples[2 * i] = static_cast<int16_t>(1 + i % 32000);
        samples[2 * i + 1] = static_cast<int16_t>(-1 - static_cast<int>(i / 32000));
    }
    return samples;
}

std::vector<uint8_t> BytesOf(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

class SdlWaveOutTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        unsetenv("SDL_DISKAUDIODELAY"); // real time, as a sound card takes it
        setenv("SDL_DISKAUDIOFILE", outputPath.c_str(), 1);
    }
    void TearDown() override { unsetenv("SDL_DISKAUDIOFILE"); }

    // Opens the output, with a counting signal of so many buffers in signal and bytes.
    std::unique_ptr<platform::WaveOut> Open(size_t buffers)
    {
        signal = Counting(buffers * BufferFrames);
        bytes = BytesOf(signal);
        platform::WaveFormat format; // 44100 Hz stereo
        std::string error;
        auto output = platform::OpenWaveOut(format, returned.Notice(), error);
        EXPECT_TRUE(output) << error;
        return output;
    }

    // What the device took, from the first sound on (silence before it dropped).
    std::vector<int16_t> Heard() const
    {
        const std::string bytes = fakes::ReadWholeFile(outputPath);
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        const auto sound = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
        return {samples.begin() + (sound - samples.begin()) / 2 * 2, samples.end()};
    }

    fakes::TempFolder folder;
    const std::string outputPath = folder.File("output.raw");
    fakes::ReturnedBuffers returned; // outlives every output of the test
    std::vector<int16_t> signal;
    std::vector<uint8_t> bytes;
};

TEST_F(SdlWaveOutTest, EveryBufferComesBackInOrderAndIsHeardWholeWithoutGaps)
{
    auto output = Open(20);
    ASSERT_TRUE(output);
    // Four buffers refilled as they come back: twenty blocks in all.
    fakes::BufferFeeder feeder(*output, bytes, 4, BufferBytes);
    feeder.Prime();
    while (!feeder.Finished()) {
        platform::WaveHeader* header = returned.Next(2s);
        ASSERT_NE(header, nullptr) << "no buffer came back within 2 s; " << feeder.ReturnedBytes() << " bytes did";
        ASSERT_TRUE(feeder.Returned(header)) << "a buffer came back out of order after " << feeder.ReturnedBytes()
                                             << " bytes";
    }
    EXPECT_EQ(returned.Count(), 20u);
    output->Close();

    const std::vector<int16_t> heard = Heard();
    ASSERT_GE(heard.size(), signal.size()) << "only " << heard.size() / 2 << " frames were heard";
    const auto differ = std::mismatch(signal.begin(), signal.end(), heard.begin());
    EXPECT_EQ(differ.first, signal.end()) << "heard differs from frame " << (differ.first - signal.begin()) / 2;
    EXPECT_TRUE(std::all_of(heard.begin() + signal.size(), heard.end(), [](int16_t s) { return s == 0; }))
        << "sound after the last buffer";
}

TEST_F(SdlWaveOutTest, ResetHandsBackEveryQueuedBufferBeforeItReturnsAndCloseEndsTheNotices)
{
    auto output = Open(10);
    ASSERT_TRUE(output);
    fakes::BufferFeeder feeder(*output, bytes, 8, BufferBytes);
    feeder.Prime(); // eight buffers, about 0.37 s
    platform::WaveHeader* first = returned.Next(2s);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(feeder.Returned(first, false));

    output->Reset();
    ASSERT_EQ(returned.Count(), 8u) << "every queued buffer is back when Reset returns";
    for (int i = 1; i < 8; ++i) {
        // The last two are written again: the output goes on after a reset.
        ASSERT_TRUE(feeder.Returned(returned.Next(0ms), i >= 6)) << "buffer " << i << " came back out of order";
    }
    ASSERT_EQ(feeder.Outstanding(), 2u);
    output->Close();
    EXPECT_EQ(returned.Count(), 10u) << "Close hands back what is still queued";
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(returned.Count(), 10u) << "a notice after Close";
    EXPECT_TRUE(feeder.Returned(returned.Next(0ms), false) && feeder.Returned(returned.Next(0ms), false));

    // Heard: the first buffer whole, then the stop within a few device blocks, not all eight
    // (what follows may be silence or the two written after the reset).
    const std::vector<int16_t> heard = Heard();
    const auto differ = std::mismatch(signal.begin(), signal.end(), heard.begin(), heard.end());
    const size_t played = (differ.first - signal.begin()) / 2;
    EXPECT_GE(played, BufferFrames);
    EXPECT_LE(played, BufferFrames + 3 * DeviceFrames) << "the reset did not stop the sound";
}

} // namespace
