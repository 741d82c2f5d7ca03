#include "fakes/DecodedAudio.h"
#include "fakes/TempFolder.h"
#include "fakes/TestSignal.h"

#include <gtest/gtest.h>

using namespace fakes;

// A canonical 16-bit PCM WAV file around the samples.
static std::string MakeWav(int rate, int channels, const std::vector<int16_t>& samples)
{
    std::string wav;
    auto put = [&wav](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    wav += "RIFF", put(36 + dataBytes, 4), wav += "WAVEfmt ", put(16, 4), put(1, 2), put(channels, 2);
    put(rate, 4), put(rate * channels * 2, 4), put(channels * 2, 2), put(16, 2), wav += "data", put(dataBytes, 4);
    for (int16_t s : samples)
        put(static_cast<uint16_t>(s), 2);
    return wav;
}

TEST(DecodedAudio, WavComesBackSampleForSample)
{
    struct Case { int rate, channels; double seconds, left, right; };
    for (const Case& c : {Case{8000, 1, 0.75, 440, 0}, Case{44100, 2, 1.5, 1000, 0}, Case{48000, 2, 0.5, 440, 3000},
                          Case{22050, 2, 0, 440, 0}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels, " << c.seconds << " s");
        TempFolder folder;
        const auto sine = MakeSine(c.rate, c.channels, c.seconds, c.left, 0.9, c.right);
        WriteWholeFile(folder.File("tone.wav"), MakeWav(c.rate, c.channels, sine));
        const auto audio = DecodeAudioFile(folder.File("tone.wav"));
        ASSERT_TRUE(audio.ok) << audio.error;
        EXPECT_EQ(audio.rate, c.rate);
        EXPECT_EQ(audio.channels, c.channels);
        EXPECT_DOUBLE_EQ(audio.Seconds(), c.seconds);
        EXPECT_TRUE(audio.samples == sine);
    }
}

TEST(DecodedAudio, JunkEmptyOrTruncatedFilesFailWithAReason)
{
    TempFolder folder;
    const auto wav = MakeWav(16000, 2, MakeSine(16000, 2, 0.5, 500, 0.5));
    std::string junk, unknownCodec = wav;
    for (int i = 0; i < 20000; ++i)
        junk += static_cast<char>((i * 7919 + i / 13) & 0xff);
    unknownCodec[20] = unknownCodec[21] = 0x77; // a format tag no decoder knows
    const std::pair<const char*, std::string> files[] = {{"empty.wav", ""}, {"junk.mp3", junk},
        {"letters.wma", std::string(5000, 'x')}, {"riff.wav", wav.substr(0, 12)}, {"header.wav", wav.substr(0, 30)},
        {"data.wav", wav.substr(0, 44 + 4000 * 4)}, {"codec.wav", unknownCodec}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        WriteWholeFile(folder.File(name), bytes);
        const auto audio = DecodeAudioFile(folder.File(name));
        EXPECT_FALSE(audio.ok);
        EXPECT_FALSE(audio.error.empty());
        EXPECT_TRUE(audio.samples.empty());
    }
    const auto missing = DecodeAudioFile(folder.File("missing.wav"));
    EXPECT_TRUE(!missing.ok && missing.error.find("No such file") != std::string::npos) << missing.error;
}

TEST(TestSignal, MakeSineAndPeakMagnitudeKeepChannelsApart)
{
    auto stereo = MakeSine(48000, 2, 0.5, 1000, 0.5, 250);
    ASSERT_EQ(stereo.size(), 48000u);
    EXPECT_EQ(stereo[2 * 12], 16384); // left crest a quarter period of 1000 Hz in
    EXPECT_EQ(stereo[2 * 48 + 1], 16384); // the right one four times later
    EXPECT_EQ(PeakMagnitude(stereo, 2, 0, 0, 10), stereo[2 * 9]); // still rising
    stereo[2 * 100 + 1] = -32768;
    EXPECT_EQ(PeakMagnitude(stereo, 2, 1, 90, 20), 32767);
    EXPECT_EQ(PeakMagnitude(stereo, 2, 0, 90, 20), 16384);
    EXPECT_EQ(PeakMagnitude(stereo, 2, 0, 30000, 10), 0); // past the end
    EXPECT_THROW(PeakMagnitude(stereo, 2, 2, 0, SIZE_MAX), std::out_of_range);
}

TEST(TestSignal, WriteRawPcmWritesLittleEndianWordsOnly)
{
    TempFolder folder;
    WriteRawPcm(folder.File("raw.pcm"), {0x0102, -2, -32768});
    EXPECT_EQ(ReadWholeFile(folder.File("raw.pcm")), std::string("\x02\x01\xfe\xff\x00\x80", 6));
    EXPECT_THROW(WriteRawPcm(folder.File("no/folder/raw.pcm"), {1}), std::runtime_error);
}

TEST(TestSignal, ToneLevelHearsOnlyItsFrequency)
{
    auto stereo = MakeSine(44100, 2, 0.5, 440, 0.5, 3000);
    EXPECT_NEAR(ToneLevel(stereo, 2, 0, 44100, 440, 0, SIZE_MAX), 0.5, 0.005);
    EXPECT_NEAR(ToneLevel(stereo, 2, 1, 44100, 3000, 0, SIZE_MAX), 0.5, 0.005);
    EXPECT_LT(ToneLevel(stereo, 2, 0, 44100, 3000, 0, SIZE_MAX), 0.001);
    EXPECT_LT(ToneLevel(stereo, 2, 1, 44100, 440, 0, SIZE_MAX), 0.001);
    EXPECT_LT(ToneLevel(stereo, 2, 0, 44100, 485, 0, SIZE_MAX), 0.001); // a near neighbour
    EXPECT_NEAR(ToneLevel(MakeSine(8000, 1, 1, 1234, 0.05), 1, 0, 8000, 1234, 0, SIZE_MAX), 0.05, 0.001);
    std::fill(stereo.begin() + 2 * 11025, stereo.end(), 0); // silence from a quarter second
    EXPECT_NEAR(ToneLevel(stereo, 2, 0, 44100, 440, 1000, 4410), 0.5, 0.01);
    EXPECT_EQ(ToneLevel(stereo, 2, 0, 44100, 440, 11025, SIZE_MAX), 0.0);
}

TEST(TestSignal, DominantFrequencyWithinOnePercent)
{
    for (double f : {50.0, 440.0, 1000.0, 4567.0, 11000.0}) {
        const auto tone = MakeSine(48000, 2, 0.2, f, 0.3, 2 * f);
        EXPECT_NEAR(DominantFrequency(tone, 2, 0, 48000, 0, SIZE_MAX), f, f * 0.01);
        EXPECT_NEAR(DominantFrequency(tone, 2, 1, 48000, 0, SIZE_MAX), 2 * f, f * 0.02);
    }
    auto noisy = MakeSine(44100, 1, 0.5, 100, 0.3); // slow crossings, noise, and an offset above the crest
    for (size_t i = 0; i < noisy.size(); ++i)
        noisy[i] = static_cast<int16_t>(noisy[i] + 12000 + static_cast<int>((i * 2654435761u) % 1001) - 500);
    EXPECT_NEAR(DominantFrequency(noisy, 1, 0, 44100, 0, SIZE_MAX), 100, 1);
    EXPECT_EQ(DominantFrequency(std::vector<int16_t>(1000, 0), 1, 0, 8000, 0, SIZE_MAX), 0.0);
    EXPECT_EQ(DominantFrequency(MakeSine(8000, 1, 1, 10, 0.5), 1, 0, 8000, 0, 1000), 0.0); // one cycle
}
