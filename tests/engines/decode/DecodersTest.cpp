// The MP3 decoder and the WMA reader, through their C-style interfaces, on files that the
// ffmpeg program encodes from tones this test writes: what they describe, what they decode
// from the start and from a position (to the exact sample), and how they answer bad files.
// The files are made once for all tests; without ffmpeg and ffprobe on PATH the tests skip.
#include "engines/mp3dec/Mp3Decoder.h"
#include "engines/wma/WmaFile.h"
#include "fakes/DecodedAudio.h"
#include "fakes/TempFolder.h"
#include "fakes/TestSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double kSeconds = 3.5;
constexpr int kTrueMs = 3500;
constexpr double kAmplitude = 0.5;
constexpr double kLeftHz = 440;
constexpr double kRightHz = 1000;
constexpr size_t kBlockLimit = 8192;
// Bytes after the 8192 the decoder may fill; they must come back untouched.
constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuard = 0xA5;

// One test file: how ffmpeg makes it and what it holds.
struct Encoding {
    const char* file;      // named after what it is
    int rate;
    int channels;
    const char* options;   // ffmpeg's output options
    int kbps;              // 0: variable bitrate
    // The stream says how many samples the encoder added in front and behind (the Xing/Info
    // frame's LAME part), so it decodes to the signal's own length. Without that no decoder
    // can know them: the stream is longer by LAME's 1105 samples and its padding.
    bool knowsDelay;
    int frameSamples;      // samples per decoder frame: the tolerance for decoded lengths
};

// A 32 kB ID3v2 comment holds 2 s of 128 kbit/s audio: a length estimated from the file size
// with the tag counted would be 2 s too long, a VBR average clearly too high.
const std::string kBigComment(32000, 'x');

const Encoding kMp3Files[] = {
    {"44100-2-128k-cbr-id3.mp3", 44100, 2, "-c:a libmp3lame -b:a 128k -id3v2_version 3 -metadata title=x", 128, true, 1152},
    {"44100-2-128k-cbr-noxing.mp3", 44100, 2, "-c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0", 128, false, 1152},
    {"44100-2-128k-cbr-noxing-big-id3.mp3", 44100, 2, "-c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 3 -metadata comment=BIG", 128, false, 1152},
    {"44100-2-vbr-q4-id3.mp3", 44100, 2, "-c:a libmp3lame -q:a 4 -id3v2_version 3 -metadata title=x", 0, true, 1152},
    {"44100-2-vbr-q4.mp3", 44100, 2, "-c:a libmp3lame -q:a 4 -id3v2_version 0", 0, true, 1152},
    {"44100-2-vbr-q4-big-id3.mp3", 44100, 2, "-c:a libmp3lame -q:a 4 -id3v2_version 3 -metadata comment=BIG", 0, true, 1152},
    {"22050-1-64k-cbr.mp3", 22050, 1, "-c:a libmp3lame -b:a 64k", 64, true, 576},
};

const Encoding kWmaFiles[] = {
    {"44100-1-64k-wmav2.wma", 44100, 1, "-c:a wmav2 -b:a 64k", 64, true, 2048},
    {"44100-2-128k-wmav2.wma", 44100, 2, "-c:a wmav2 -b:a 128k", 128, true, 2048},
    {"22050-2-64k-wmav1.wma", 22050, 2, "-c:a wmav1 -b:a 64k", 64, true, 2048},
};

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

bool HaveProgram(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The length ffprobe reads from the container, in seconds; -1 when it says nothing.
double ProbedSeconds(const std::string& path)
{
    const std::string command = "ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 " + Quoted(path);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return -1;
    char line[128] = {};
    return std::fgets(line, sizeof line, pipe.get()) ? std::strtod(line, nullptr) : -1;
}

// Bytes of the ID3v2 tag at the front of the file (header, body, footer); 0 without one.
size_t Id3v2Bytes(const std::string& content)
{
    if (content.size() < 10 || content.compare(0, 3, "ID3") != 0)
        return 0;
    size_t body = 0;
    for (int i = 6; i < 10; ++i)
        body = body << 7 | (static_cast<uint8_t>(content[i]) & 0x7F);
    return 10 + body + ((content[5] & 0x10) ? 10 : 0);
}

size_t Samples(int rate, double ms)
{
    return static_cast<size_t>(std::llround(ms * rate / 1000.0));
}

// What one reader delivered from one start position.
struct Decoding {
    bool opened = false;
    int rate = 0;
    int channels = 0;
    int kbps = 0;
    int lengthMs = 0;
    std::vector<int16_t> samples; // interleaved
    size_t blocks = 0;
    size_t largestBlock = 0;
    bool blocksWhole = true;     // every block above 0 bytes and whole sample frames
    bool guardIntact = true;     // nothing written past the 8192 bytes
    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

void Append(Decoding& d, const uint8_t* block, size_t size)
{
    ++d.blocks;
    d.largestBlock = std::max(d.largestBlock, size);
    d.blocksWhole = d.blocksWhole && size > 0 && d.channels > 0 && size % (2 * static_cast<size_t>(d.channels)) == 0;
    const size_t used = d.samples.size();
    d.samples.resize(used + size / 2);
    std::memcpy(d.samples.data() + used, block, size / 2 * 2);
}

// Far more blocks than any test file has: a reader that never ends fails instead of hanging.
constexpr size_t kMaxBlocks = 20000;

Decoding DecodeMp3(const std::string& path, int32_t startMs)
{
    Decoding d;
    d.opened = SB_InitMP3(path.c_str(), startMs) == 0;
    if (d.opened) {
        SB_GetFrameInfo(&d.rate, &d.channels, &d.kbps, &d.lengthMs);
        std::array<uint8_t, kBlockLimit + kGuardBytes> buffer;
        while (d.blocks < kMaxBlocks) {
            buffer.fill(kGuard);
            int32_t size = -1;
            if (SB_decodeMP3(buffer.data(), &size) != 0)
                break;
            d.guardIntact = d.guardIntact && std::all_of(buffer.begin() + kBlockLimit, buffer.end(), [](uint8_t b) { return b == kGuard; });
            if (size < 0 || static_cast<size_t>(size) > buffer.size()) {
                d.blocksWhole = false;
                break;
            }
            Append(d, buffer.data(), static_cast<size_t>(size));
        }
    }
    SB_ExitMP3();
    return d;
}

Decoding DecodeWma(const std::string& path, int32_t startMs)
{
    Decoding d;
    WmaFileInfo info{};
    if (CheckWMAFileInfo(path.c_str(), &info)) {
        d.rate = static_cast<int>(info.SampleRate);
        d.channels = static_cast<int>(info.Channels);
        d.kbps = static_cast<int>(info.Bitrate);
        d.lengthMs = static_cast<int>(info.DurationMs);
    }
    WmaFileInfo copy = info; // the reader gets a fresh copy, as from the program
    d.opened = InitWMAReadFile(path.c_str(), &copy, startMs) != 0;
    if (d.opened) {
        while (d.blocks < kMaxBlocks) {
            WmaFileInfo fresh = info;
            uint8_t* block = nullptr;
            uint32_t size = 0;
            if (!ReadWMAFile(&fresh, &block, &size))
                break;
            if (!block || size > kBlockLimit) {
                d.blocksWhole = false;
                d.largestBlock = std::max<size_t>(d.largestBlock, size);
                break;
            }
            Append(d, block, size);
        }
    }
    WmaFileInfo last = info;
    CloseWMAReadFile(&last);
    return d;
}

using Decoder = Decoding (*)(const std::string&, int32_t);

// Makes every test file once; its folder lives until the program ends.
class TestFiles {
public:
    static TestFiles& Get()
    {
        static TestFiles files;
        return files;
    }
    bool Ready() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    std::string Path(const std::string& name) const { return folder_.File(name); }

private:
    TestFiles()
    {
        if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe")) {
            error_ = "the ffmpeg and ffprobe programs are needed to make the test files";
            return;
        }
        for (const Encoding& e : kMp3Files)
            Encode(e);
        for (const Encoding& e : kWmaFiles)
            Encode(e);
        // An ASF file whose audio is MP3, not WMA.
        MakeWith(44100, 2, "-c:a libmp3lame -b:a 128k -f asf", "44100-2-mp3-in-asf.wma");
        MakeWith(44100, 2, "-c:a pcm_s16le", "44100-2-16.wav");
    }

    void Encode(const Encoding& e)
    {
        std::string options = e.options;
        if (const size_t big = options.find("comment=BIG"); big != std::string::npos)
            options.replace(big, 11, "comment=" + kBigComment);
        MakeWith(e.rate, e.channels, options, e.file);
    }

    void MakeWith(int rate, int channels, const std::string& options, const std::string& file)
    {
        const std::string raw = folder_.File(std::to_string(rate) + "-" + std::to_string(channels) + "-16.raw");
        fakes::WriteRawPcm(raw, fakes::MakeSine(rate, channels, kSeconds, kLeftHz, kAmplitude, channels > 1 ? kRightHz : 0));
        const std::string command = "ffmpeg -nostdin -v error -y -f s16le -ar " + std::to_string(rate) + " -ac "
            + std::to_string(channels) + " -i " + Quoted(raw) + " " + options + " " + Quoted(folder_.File(file));
        if (std::system(command.c_str()) != 0 && error_.empty())
            error_ = "ffmpeg could not make " + file;
    }

    fakes::TempFolder folder_;
    std::string error_;
};

#define NEED_TEST_FILES()                                 \
    do {                                                  \
        if (!TestFiles::Get().Ready()) {                  \
            GTEST_SKIP() << TestFiles::Get().Error();     \
        }                                                 \
    } while (0)

std::string Junk(size_t size, unsigned seed)
{
    std::string junk(size, '\0');
    for (char& c : junk) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return junk;
}

double MaxDifference(const std::vector<int16_t>& a, size_t aFirst, const std::vector<int16_t>& b, size_t count)
{
    double worst = 0;
    for (size_t i = 0; i < count; ++i)
        worst = std::max(worst, std::abs(static_cast<double>(a[aFirst + i]) - b[i]));
    return worst;
}

// The test signal on every channel of a stretch: the right frequency at about the written
// level, and the other channel's frequency hardly at all.
void ExpectTone(const Decoding& d, size_t firstFrame, size_t frameCount, const std::string& where)
{
    SCOPED_TRACE(where);
    for (int ch = 0; ch < d.channels; ++ch) {
        const double wanted = ch == 0 ? kLeftHz : kRightHz;
        EXPECT_NEAR(fakes::DominantFrequency(d.samples, d.channels, ch, d.rate, firstFrame, frameCount), wanted, wanted * 0.01)
            << "channel " << ch;
        EXPECT_NEAR(fakes::ToneLevel(d.samples, d.channels, ch, d.rate, wanted, firstFrame, frameCount), kAmplitude, 0.05)
            << "channel " << ch;
        if (d.channels > 1) {
            EXPECT_LT(fakes::ToneLevel(d.samples, d.channels, ch, d.rate, ch == 0 ? kRightHz : kLeftHz, firstFrame, frameCount), 0.02)
                << "channel " << ch;
        }
    }
}

struct FileCase {
    Encoding encoding;
    Decoder decode;
};

void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.encoding.file;
}

std::string CaseName(const testing::TestParamInfo<FileCase>& info)
{
    std::string name = info.param.encoding.file;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

std::vector<FileCase> AllFiles()
{
    std::vector<FileCase> cases;
    for (const Encoding& e : kMp3Files)
        cases.push_back({e, DecodeMp3});
    for (const Encoding& e : kWmaFiles)
        cases.push_back({e, DecodeWma});
    return cases;
}

// ---------------------------------------------------------------------------------------
// Every good file, through the library of its kind.

class DecoderFiles : public testing::TestWithParam<FileCase> {
protected:
    void SetUp() override { NEED_TEST_FILES(); }
    const Encoding& E() const { return GetParam().encoding; }
    std::string File() const { return TestFiles::Get().Path(E().file); }
    Decoding Decode(int32_t startMs) const { return GetParam().decode(File(), startMs); }
    size_t TrueFrames() const { return Samples(E().rate, kTrueMs); }
};

TEST_P(DecoderFiles, DescribesRateChannelsBitrateAndLength)
{
    const Decoding d = Decode(0);
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.rate, E().rate);
    EXPECT_EQ(d.channels, E().channels);
    const std::string content = fakes::ReadWholeFile(File());
    if (E().kbps > 0) {
        EXPECT_EQ(d.kbps, E().kbps);
    } else {
        // The average over the audio frames, without the tag in front.
        const double average = (content.size() - Id3v2Bytes(content)) * 8.0 / kSeconds / 1000.0;
        EXPECT_NEAR(d.kbps, average, average * 0.1);
    }
    EXPECT_NEAR(d.lengthMs, kTrueMs, 50);
    EXPECT_NEAR(d.lengthMs, ProbedSeconds(File()) * 1000.0, 50);
}

TEST_P(DecoderFiles, DecodesTheWholeToneFromTheStart)
{
    const Decoding d = Decode(0);
    ASSERT_TRUE(d.opened);
    ASSERT_EQ(d.channels, E().channels);
    EXPECT_GT(d.blocks, 0u);
    EXPECT_LE(d.largestBlock, kBlockLimit);
    EXPECT_TRUE(d.blocksWhole);
    EXPECT_TRUE(d.guardIntact);
    const double frameTolerance = E().frameSamples;
    if (E().knowsDelay) {
        EXPECT_NEAR(static_cast<double>(d.Frames()), static_cast<double>(TrueFrames()), frameTolerance);
    } else {
        EXPECT_GE(d.Frames(), TrueFrames());
        EXPECT_NEAR(static_cast<double>(d.Frames()), static_cast<double>(Samples(d.rate, d.lengthMs)), frameTolerance);
    }
    ExpectTone(d, Samples(d.rate, 1000), Samples(d.rate, 1000), "from 1 s to 2 s");

    // Block by block, the same samples as one plain pass of FFmpeg over the file.
    const fakes::DecodedAudio reference = fakes::DecodeAudioFile(File());
    ASSERT_TRUE(reference.ok) << reference.error;
    ASSERT_EQ(d.samples.size(), reference.samples.size());
    EXPECT_LE(MaxDifference(reference.samples, 0, d.samples, d.samples.size()), 1);
}

TEST_P(DecoderFiles, StartsAtTheExactSampleOfTheRequestedPosition)
{
    const Decoding whole = Decode(0);
    ASSERT_TRUE(whole.opened);
    const size_t channels = static_cast<size_t>(whole.channels);
    // 37 ms: near the start, decoded from there; 1500 on a frame boundary (at 44.1 kHz,
    // MP3), 2345 inside a frame: both reached by a jump.
    for (const int32_t ms : {37, 1500, 2345}) {
        SCOPED_TRACE("from " + std::to_string(ms) + " ms");
        const Decoding part = Decode(ms);
        ASSERT_TRUE(part.opened);
        const size_t offset = Samples(whole.rate, ms);
        ASSERT_EQ(part.Frames(), whole.Frames() - offset);
        EXPECT_LE(part.largestBlock, kBlockLimit);
        EXPECT_TRUE(part.blocksWhole);
        EXPECT_TRUE(part.guardIntact);
        // Already the first samples are right: a jump decodes ahead of the position.
        EXPECT_LE(MaxDifference(whole.samples, offset * channels, part.samples, part.samples.size()), 4);
        ExpectTone(part, 0, Samples(part.rate, 200), "the first 200 ms");
    }
}

TEST_P(DecoderFiles, StartBeforeOrPastTheStreamIsHarmless)
{
    const Decoding d = Decode(kTrueMs + 5000);
    EXPECT_TRUE(d.opened);
    EXPECT_EQ(d.blocks, 0u);
    const Decoding negative = Decode(-500);
    ASSERT_TRUE(negative.opened);
    EXPECT_EQ(negative.Frames(), Decode(0).Frames());
}

TEST_P(DecoderFiles, FileCutShortDecodesWhatIsThere)
{
    // Half of the audio behind the tag, and a few bytes into the next frame.
    const std::string content = fakes::ReadWholeFile(File());
    const size_t tag = Id3v2Bytes(content);
    const std::string cut = TestFiles::Get().Path(std::string("cut-in-half-") + E().file);
    fakes::WriteWholeFile(cut, content.substr(0, tag + (content.size() - tag) / 2 + 7));
    const Decoding d = GetParam().decode(cut, 0);
    ASSERT_TRUE(d.opened);
    EXPECT_TRUE(d.blocksWhole);
    EXPECT_LE(d.largestBlock, kBlockLimit);
    EXPECT_GT(d.Frames(), TrueFrames() / 3);
    EXPECT_LT(d.Frames(), TrueFrames() * 2 / 3 + static_cast<size_t>(E().frameSamples) * 2);
    const Decoding late = GetParam().decode(cut, kTrueMs - 500);
    EXPECT_EQ(late.blocks, 0u);
}

TEST_P(DecoderFiles, DamageInsideDecodesWithoutCrash)
{
    // 3000 bytes of junk over the middle of the audio.
    std::string content = fakes::ReadWholeFile(File());
    const size_t tag = Id3v2Bytes(content);
    content.replace(tag + (content.size() - tag) / 2, 3000, Junk(3000, 11));
    const std::string damaged = TestFiles::Get().Path(std::string("damaged-") + E().file);
    fakes::WriteWholeFile(damaged, content);
    for (const int32_t ms : {0, 2500}) {
        SCOPED_TRACE("from " + std::to_string(ms) + " ms");
        const Decoding d = GetParam().decode(damaged, ms);
        ASSERT_TRUE(d.opened);
        EXPECT_TRUE(d.blocksWhole);
        EXPECT_LE(d.largestBlock, kBlockLimit);
        EXPECT_LE(d.Frames(), TrueFrames() + 2 * static_cast<size_t>(E().frameSamples));
    }
    EXPECT_GT(GetParam().decode(damaged, 0).Frames(), TrueFrames() * 2 / 5);
}

INSTANTIATE_TEST_SUITE_P(All, DecoderFiles, testing::ValuesIn(AllFiles()), CaseName);

// ---------------------------------------------------------------------------------------
// Files neither library may take: each call answers failure, nothing crashes.

// An ID3v2 tag of 100 zero bytes and nothing behind it.
std::string TagOnly()
{
    std::string tag = std::string("ID3\x03\x00\x00\x00\x00\x00\x64", 10);
    return tag + std::string(100, '\0');
}

std::vector<std::string> CutHeads()
{
    std::vector<std::string> names;
    for (const Encoding& e : kMp3Files)
        names.push_back(e.file);
    for (const Encoding& e : kWmaFiles)
        names.push_back(e.file);
    return names;
}

class DecoderBadFiles : public testing::Test {
protected:
    void SetUp() override { NEED_TEST_FILES(); }

    // Every file each library must refuse: junk, empty, cut off within the first bytes,
    // missing, and the other library's (or another program's) files.
    std::vector<std::string> Refused(const std::string& extension, const std::vector<std::string>& foreign)
    {
        std::vector<std::string> paths;
        const auto add = [&](const std::string& name, const std::string& content) {
            const std::string path = TestFiles::Get().Path(name);
            fakes::WriteWholeFile(path, content);
            paths.push_back(path);
        };
        add("empty" + extension, "");
        add("one-byte" + extension, "x");
        add("junk" + extension, Junk(20000, 7));
        add("zeros" + extension, std::string(20000, '\0'));
        add("tag-only" + extension, TagOnly());
        for (const std::string& good : CutHeads()) {
            const std::string content = fakes::ReadWholeFile(TestFiles::Get().Path(good));
            add("first-100-bytes-of-" + good + extension, content.substr(0, 100));
        }
        paths.push_back(TestFiles::Get().Path("missing" + extension));
        paths.push_back(TestFiles::Get().Path("")); // the folder itself
        for (const std::string& name : foreign)
            paths.push_back(TestFiles::Get().Path(name));
        return paths;
    }
};

TEST_F(DecoderBadFiles, Mp3DecoderRefusesThemAndHoldsNothing)
{
    const std::string good = TestFiles::Get().Path(kMp3Files[0].file);
    for (const std::string& path : Refused(".mp3", {"44100-2-128k-wmav2.wma", "44100-2-16.wav", "44100-2-mp3-in-asf.wma"})) {
        SCOPED_TRACE(path);
        // A good file first: a failed init must not leave it open.
        ASSERT_EQ(SB_InitMP3(good.c_str(), 0), 0);
        EXPECT_NE(SB_InitMP3(path.c_str(), 0), 0);
        EXPECT_NE(SB_InitMP3(path.c_str(), 1500), 0);
        int32_t rate = -1, channels = -1, kbps = -1, length = -1;
        EXPECT_NE(SB_GetFrameInfo(&rate, &channels, &kbps, &length), 0);
        EXPECT_EQ(rate, 0);
        EXPECT_EQ(length, 0);
        std::array<uint8_t, kBlockLimit> buffer{};
        int32_t size = -1;
        EXPECT_NE(SB_decodeMP3(buffer.data(), &size), 0);
        EXPECT_EQ(size, 0);
        SB_ExitMP3();
        SB_ExitMP3();
    }
}

TEST_F(DecoderBadFiles, WmaReaderRefusesThemAndHoldsNothing)
{
    const std::string good = TestFiles::Get().Path(kWmaFiles[0].file);
    for (const std::string& path : Refused(".wma", {"44100-2-128k-cbr-id3.mp3", "44100-2-16.wav", "44100-2-mp3-in-asf.wma"})) {
        SCOPED_TRACE(path);
        WmaFileInfo info{7, 1, 2, 3, 4, 5, 6, 8};
        const WmaFileInfo before = info;
        EXPECT_FALSE(CheckWMAFileInfo(path.c_str(), &info));
        EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0) << "the record was touched";
        ASSERT_TRUE(InitWMAReadFile(good.c_str(), &info, 0));
        EXPECT_FALSE(InitWMAReadFile(path.c_str(), &info, 0));
        EXPECT_FALSE(InitWMAReadFile(path.c_str(), &info, 1500));
        uint8_t* block = reinterpret_cast<uint8_t*>(&info);
        uint32_t size = 99;
        EXPECT_FALSE(ReadWMAFile(&info, &block, &size));
        EXPECT_EQ(block, nullptr);
        EXPECT_EQ(size, 0u);
        CloseWMAReadFile(&info);
        CloseWMAReadFile(&info);
    }
}

TEST_F(DecoderBadFiles, NullArgumentsAreRefused)
{
    std::array<uint8_t, kBlockLimit> buffer{};
    int32_t size = 0;
    EXPECT_NE(SB_InitMP3(nullptr, 0), 0);
    EXPECT_NE(SB_InitMP3("", 0), 0);
    ASSERT_EQ(SB_InitMP3(TestFiles::Get().Path(kMp3Files[0].file).c_str(), 0), 0);
    EXPECT_NE(SB_decodeMP3(nullptr, &size), 0);
    EXPECT_NE(SB_decodeMP3(buffer.data(), nullptr), 0);
    EXPECT_EQ(SB_GetFrameInfo(nullptr, nullptr, nullptr, nullptr), 0);
    SB_ExitMP3();

    WmaFileInfo info{};
    const std::string wma = TestFiles::Get().Path(kWmaFiles[0].file);
    EXPECT_FALSE(CheckWMAFileInfo(nullptr, &info));
    EXPECT_FALSE(CheckWMAFileInfo(wma.c_str(), nullptr));
    EXPECT_FALSE(InitWMAReadFile(nullptr, &info, 0));
    ASSERT_TRUE(InitWMAReadFile(wma.c_str(), &info, 0));
    uint8_t* block = nullptr;
    uint32_t blockSize = 0;
    EXPECT_FALSE(ReadWMAFile(&info, nullptr, &blockSize));
    EXPECT_FALSE(ReadWMAFile(&info, &block, nullptr));
    CloseWMAReadFile(nullptr);
}

// ---------------------------------------------------------------------------------------
// The order of calls.

class DecoderCallOrder : public testing::Test {
protected:
    void SetUp() override { NEED_TEST_FILES(); }
};

TEST_F(DecoderCallOrder, Mp3ExitTwiceAndCallsWithNothingOpenAreHarmless)
{
    EXPECT_EQ(SB_ExitMP3(), 0);
    EXPECT_EQ(SB_ExitMP3(), 0);
    std::array<uint8_t, kBlockLimit> buffer{};
    int32_t size = -1;
    EXPECT_NE(SB_decodeMP3(buffer.data(), &size), 0);
    EXPECT_EQ(size, 0);
    int32_t rate = -1, channels = -1, kbps = -1, length = -1;
    EXPECT_NE(SB_GetFrameInfo(&rate, &channels, &kbps, &length), 0);
    EXPECT_EQ(channels, 0);
    EXPECT_EQ(kbps, 0);

    const std::string path = TestFiles::Get().Path(kMp3Files[0].file);
    ASSERT_EQ(SB_InitMP3(path.c_str(), 0), 0);
    ASSERT_EQ(SB_decodeMP3(buffer.data(), &size), 0);
    EXPECT_EQ(SB_ExitMP3(), 0);
    EXPECT_EQ(SB_ExitMP3(), 0);
    EXPECT_NE(SB_decodeMP3(buffer.data(), &size), 0);
    // And it opens again afterwards, from the start.
    EXPECT_NEAR(static_cast<double>(DecodeMp3(path, 0).Frames()), static_cast<double>(Samples(44100, kTrueMs)), 1152);
}

TEST_F(DecoderCallOrder, Mp3InitReleasesTheEarlierFile)
{
    const std::string stereo = TestFiles::Get().Path("44100-2-128k-cbr-id3.mp3");
    const std::string mono = TestFiles::Get().Path("22050-1-64k-cbr.mp3");
    const size_t monoFrames = DecodeMp3(mono, 0).Frames();
    ASSERT_EQ(SB_InitMP3(stereo.c_str(), 0), 0);
    std::array<uint8_t, kBlockLimit> buffer{};
    int32_t size = 0;
    ASSERT_EQ(SB_decodeMP3(buffer.data(), &size), 0);
    ASSERT_EQ(SB_InitMP3(mono.c_str(), 0), 0);
    int32_t rate = 0, channels = 0, kbps = 0, length = 0;
    EXPECT_EQ(SB_GetFrameInfo(&rate, &channels, &kbps, &length), 0);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(kbps, 64);
    size_t bytes = 0;
    while (SB_decodeMP3(buffer.data(), &size) == 0)
        bytes += static_cast<size_t>(size);
    EXPECT_EQ(bytes / 2, monoFrames);
    SB_ExitMP3();
}

TEST_F(DecoderCallOrder, WmaCloseTwiceAndReadsWithNothingOpenAreHarmless)
{
    WmaFileInfo info{};
    CloseWMAReadFile(&info);
    CloseWMAReadFile(&info);
    uint8_t* block = nullptr;
    uint32_t size = 1;
    EXPECT_FALSE(ReadWMAFile(&info, &block, &size));
    EXPECT_EQ(size, 0u);
    const std::string path = TestFiles::Get().Path(kWmaFiles[1].file);
    ASSERT_TRUE(InitWMAReadFile(path.c_str(), &info, 0));
    ASSERT_TRUE(ReadWMAFile(&info, &block, &size));
    CloseWMAReadFile(&info);
    CloseWMAReadFile(&info);
    EXPECT_FALSE(ReadWMAFile(&info, &block, &size));
    EXPECT_NEAR(static_cast<double>(DecodeWma(path, 0).Frames()), static_cast<double>(Samples(44100, kTrueMs)), 2048);
}

TEST_F(DecoderCallOrder, WmaDescribingAnotherFileLeavesTheOpenReaderAlone)
{
    const std::string stereo = TestFiles::Get().Path("44100-2-128k-wmav2.wma");
    const std::string mono = TestFiles::Get().Path("44100-1-64k-wmav2.wma");
    const Decoding whole = DecodeWma(stereo, 1500);
    WmaFileInfo info{};
    ASSERT_TRUE(InitWMAReadFile(stereo.c_str(), &info, 1500));
    std::vector<int16_t> samples;
    uint8_t* block = nullptr;
    uint32_t size = 0;
    for (int i = 0; i < 3 && ReadWMAFile(&info, &block, &size); ++i)
        samples.insert(samples.end(), reinterpret_cast<int16_t*>(block), reinterpret_cast<int16_t*>(block + size));
    WmaFileInfo other{};
    ASSERT_TRUE(CheckWMAFileInfo(mono.c_str(), &other));
    EXPECT_EQ(other.Channels, 1u);
    while (ReadWMAFile(&info, &block, &size))
        samples.insert(samples.end(), reinterpret_cast<int16_t*>(block), reinterpret_cast<int16_t*>(block + size));
    CloseWMAReadFile(&info);
    EXPECT_EQ(samples, whole.samples);
}

TEST_F(DecoderCallOrder, WmaDescriptionFillsItsFourFieldsOnly)
{
    for (const Encoding& e : kWmaFiles) {
        SCOPED_TRACE(e.file);
        WmaFileInfo info{3, 1, 1, 1, -1, -2, -3, 1};
        ASSERT_TRUE(CheckWMAFileInfo(TestFiles::Get().Path(e.file).c_str(), &info));
        EXPECT_EQ(info.Kind, 3);
        EXPECT_EQ(info.SampleRate, static_cast<uint32_t>(e.rate));
        EXPECT_EQ(info.Channels, static_cast<uint32_t>(e.channels));
        EXPECT_EQ(info.Bitrate, static_cast<uint32_t>(e.kbps));
        EXPECT_NEAR(info.DurationMs, kTrueMs, 50);
        EXPECT_EQ(info.Reserved1, -1);
        EXPECT_EQ(info.Reserved2, -2);
        EXPECT_EQ(info.Reserved3, -3);
    }
}

TEST_F(DecoderCallOrder, TheBlockStaysValidUntilTheNextRead)
{
    const std::string path = TestFiles::Get().Path(kWmaFiles[1].file);
    WmaFileInfo info{};
    ASSERT_TRUE(InitWMAReadFile(path.c_str(), &info, 0));
    uint8_t* first = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(ReadWMAFile(&info, &first, &size));
    const std::vector<uint8_t> copy(first, first + size);
    WmaFileInfo described{};
    ASSERT_TRUE(CheckWMAFileInfo(path.c_str(), &described)); // a description in between
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), first));
    CloseWMAReadFile(&info);
}

} // namespace
