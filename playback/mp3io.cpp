#include "mp3io.h"

#include "engines/mp3dec/Mp3Decoder.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Messages.h"
#include "platform/RiffReader.h"
#include "platform/Rounding.h"
#include "wmaio.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Module state: one block buffer, one file handle and two chunk records shared by the WAV
// description and the WAV reader, and the reader-open flag.
uint8_t blockBuffer[AudioBlockBytes];
platform::MmioFile wavFile;
platform::MMCKINFO parentChunk;
platform::MMCKINFO childChunk;
// Bytes of the open WAV reader's data chunk from its start position on: a start is never
// placed past the audio.
uint64_t wavDataLeft = 0;
bool readerOpen = false;
// Why the last description or reader open failed.
std::string readerError;
framework::TForm* levelTarget = nullptr;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

std::string UpperExtension(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

// Opens the file and walks to the first byte of its audio data: the RIFF form "WAVE", its
// "fmt " chunk (up to 18 bytes read), then the "data" chunk, whose size childChunk holds.
bool OpenAndFindData(const std::string& path, WaveFormat& format)
{
    if (!wavFile.Open(path)) {
        readerError = std::strerror(errno);
        return false;
    }
    parentChunk = {};
    parentChunk.fccType = platform::mmioStringToFOURCC("WAVE");
    if (wavFile.Descend(parentChunk, nullptr, platform::MMIO_FINDRIFF) != platform::MMSYSERR_NOERROR) {
        readerError = "not a RIFF WAVE file";
        return false;
    }
    childChunk = {};
    childChunk.ckid = platform::mmioStringToFOURCC("fmt ");
    readerError = "no format chunk";
    if (wavFile.Descend(childChunk, &parentChunk, platform::MMIO_FINDCHUNK) != platform::MMSYSERR_NOERROR)
        return false;
    uint8_t raw[18] = {};
    const long want = std::min<long>(childChunk.cksize, 18);
    if (wavFile.Read(raw, want) != want)
        return false;
    std::memcpy(&format.formatTag, raw, 2);
    std::memcpy(&format.channels, raw + 2, 2);
    std::memcpy(&format.samplesPerSec, raw + 4, 4);
    std::memcpy(&format.avgBytesPerSec, raw + 8, 4);
    std::memcpy(&format.blockAlign, raw + 12, 2);
    std::memcpy(&format.bitsPerSample, raw + 14, 2);
    std::memcpy(&format.extraSize, raw + 16, 2);
    wavFile.Ascend(childChunk);
    childChunk = {};
    childChunk.ckid = platform::mmioStringToFOURCC("data");
    readerError = "no data chunk";
    return wavFile.Descend(childChunk, &parentChunk, platform::MMIO_FINDCHUNK) == platform::MMSYSERR_NOERROR;
}

bool DescribeWav(const std::string& path, AudioFileInfo& info)
{
    info = AudioFileInfo{};
    WaveFormat format;
    const bool found = OpenAndFindData(path, format);
    const uint64_t dataBytes = wavFile.ChunkSize(childChunk);
    wavFile.Close();
    // A file without its chunks, or with a rate or channel count of 0, describes nothing
    // rather than dividing by zero.
    if (!found)
        return false;
    if (format.samplesPerSec == 0 || format.channels == 0) {
        readerError = "no sample rate or no channels";
        return false;
    }
    info.SampleRate = format.samplesPerSec;
    info.Channels = format.channels;
    info.DurationMs = WavDurationMs(dataBytes, info.SampleRate, info.Channels);
    info.Bitrate = WavBitrate(info.SampleRate, info.Channels);
    readerError = format.bitsPerSample == 16 ? "" : "not 16-bit samples";
    return format.bitsPerSample == 16;
}

bool DescribeMp3(const std::string& path, AudioFileInfo& info)
{
    info = AudioFileInfo{};
    if (SB_InitMP3(path.c_str(), 0) != 0) {
        SB_ExitMP3();
        readerError = "no MPEG audio could be read from it";
        return false;
    }
    int32_t rate = 0, channels = 0, kbps = 0, length = 0;
    SB_GetFrameInfo(&rate, &channels, &kbps, &length);
    SB_ExitMP3();
    info.SampleRate = static_cast<uint32_t>(rate);
    info.Channels = static_cast<uint32_t>(channels);
    info.Bitrate = static_cast<uint32_t>(kbps);
    info.DurationMs = static_cast<uint32_t>(length);
    return true;
}

bool OpenWav(const std::string& path, const AudioFileInfo& info, int32_t startMs)
{
    wavDataLeft = 0;
    WaveFormat ignored;
    if (!OpenAndFindData(path, ignored))
        return false;
    wavDataLeft = wavFile.ChunkSize(childChunk);
    // Rounded to whole sample frames first, halves to even, with the described format: the
    // frame a continued recording starts at too. Nothing before the audio's start.
    const uint64_t frame = platform::RoundHalfEven(uint64_t(std::max<int32_t>(startMs, 0)) * info.SampleRate, 1000);
    const uint64_t frameBytes = uint64_t{info.Channels} * 2;
    // Never past the data's end; capping the frame first keeps the product from overflowing.
    const uint64_t offset
        = frameBytes == 0 ? 0 : std::min(std::min(frame, wavDataLeft / frameBytes + 1) * frameBytes, wavDataLeft);
    if (offset > 0 && wavFile.Seek(static_cast<long>(offset), SEEK_CUR) < 0)
        wavDataLeft = 0;
    else
        wavDataLeft -= offset;
    return true;
}

void PostLevels(const uint8_t* block, uint32_t size, uint32_t channels)
{
    if (!levelTarget || size == 0 || !block)
        return;
    const BlockAverage levels = AverageLevels(block, size, channels);
    levelTarget->PostMessage(framework::WM_LEVEL, levels.left, static_cast<intptr_t>(levels.right));
}

} // namespace

uint32_t WavDurationMs(uint64_t dataBytes, uint32_t rate, uint32_t channels)
{
    if (rate == 0 || channels == 0)
        return 0;
    // dataBytes x 1000 / (rate x channels x 2), in whole numbers. A frame rate above the
    // numerator makes it less than half a millisecond (and would overflow once doubled).
    // An RF64 size may claim anything: so many bytes are more milliseconds than 32 bits hold.
    if (dataBytes > UINT64_MAX / 1000)
        return UINT32_MAX;
    const uint64_t numerator = dataBytes * 1000;
    const uint64_t framesPerSecond = uint64_t{rate} * channels;
    if (framesPerSecond > numerator)
        return 0;
    // A rate of a few Hz can make it longer than 32 bits of milliseconds hold.
    return static_cast<uint32_t>(std::min<uint64_t>(platform::RoundHalfEven(numerator, framesPerSecond * 2), UINT32_MAX));
}

uint32_t WavBitrate(uint32_t rate, uint32_t channels)
{
    return (rate * channels * 2u) >> 7;
}

BlockAverage AverageLevels(const uint8_t* block, uint32_t size, uint32_t channels)
{
    BlockAverage levels;
    if (size == 0)
        return levels;
    int64_t left = 0;
    int64_t right = 0;
    const uint32_t pairs = size / 4;
    for (uint32_t i = 0; i < pairs; ++i) {
        int16_t a, b;
        std::memcpy(&a, block + 4 * i, 2);
        std::memcpy(&b, block + 4 * i + 2, 2);
        left += std::abs(int32_t{a});
        right += std::abs(int32_t{b});
    }
    if (channels == 1) {
        levels.left = levels.right = static_cast<uint32_t>((left + right) * 2 / size);
    } else {
        levels.left = static_cast<uint32_t>(left * 4 / size);
        levels.right = static_cast<uint32_t>(right * 4 / size);
    }
    return levels;
}

void SetReaderLevelTarget(framework::TForm* form)
{
    levelTarget = form;
}

bool DescribeAudioFileAs(const std::string& path, AudioFileKind kind, AudioFileInfo& info)
{
    bool ok = false;
    readerError.clear();
    switch (kind) {
    case akMp3: ok = DescribeMp3(path, info); break;
    case akWav: ok = DescribeWav(path, info); break;
    // Without the WMA library nothing can be described.
    case akWma:
        ok = WmaIO.CheckWMAFileInfo && WmaIO.CheckWMAFileInfo(path.c_str(), &info);
        if (!ok)
            readerError = WmaIO.CheckWMAFileInfo ? "no WMA audio could be read from it" : "no WMA decoder";
        break;
    default: return false;
    }
    info.Kind = kind;
    return ok;
}

bool DescribeAudioFile(const std::string& path, AudioFileInfo& info)
{
    const std::string ext = UpperExtension(path);
    if (ext == ".MP3")
        return DescribeAudioFileAs(path, akMp3, info);
    if (ext == ".WAV")
        return DescribeAudioFileAs(path, akWav, info);
    if (ext == ".WMA")
        return DescribeAudioFileAs(path, akWma, info);
    framework::ErrorBox("We can only accept mp3 and wav file");
    return false;
}

bool OpenAudioReader(const std::string& path, AudioFileInfo info, int32_t startMs)
{
    readerOpen = true;
    readerError = "the reader could not open it";
    switch (info.Kind) {
    case akMp3: return SB_InitMP3(path.c_str(), startMs) == 0;
    case akWav: return OpenWav(path, info, startMs);
    case akWma: return WmaIO.InitWMAReadFile && WmaIO.InitWMAReadFile(path.c_str(), &info, startMs);
    default: return false;
    }
}

const std::string& AudioReaderError()
{
    return readerError;
}

bool ReadAudioBlock(AudioFileInfo info, const uint8_t*& block, uint32_t& size)
{
    bool ok = false;
    block = nullptr;
    size = 0;
    switch (info.Kind) {
    case akMp3: {
        block = blockBuffer;
        int32_t got = 0;
        ok = SB_decodeMP3(blockBuffer, &got) == 0;
        size = ok ? static_cast<uint32_t>(std::clamp<int32_t>(got, 0, AudioBlockBytes)) : 0;
        break;
    }
    case akWav: {
        block = blockBuffer;
        // Not limited to the data chunk: a chunk behind the audio comes out as audio, and the
        // playback stops by the described length.
        const long got = wavFile.Read(blockBuffer, AudioBlockBytes);
        size = got > 0 ? static_cast<uint32_t>(got) : 0;
        ok = size > 0;
        break;
    }
    case akWma: {
        uint8_t* wmaBlock = nullptr;
        ok = WmaIO.ReadWMAFile && WmaIO.ReadWMAFile(&info, &wmaBlock, &size);
        block = wmaBlock;
        if (!ok && !wmaBlock)
            size = 0;
        break;
    }
    default:
        break;
    }
    PostLevels(block, size, info.Channels);
    return ok;
}

void CloseAudioReader(AudioFileInfo info)
{
    if (!readerOpen)
        return;
    readerOpen = false;
    switch (info.Kind) {
    case akMp3: SB_ExitMP3(); break;
    case akWav: wavFile.Close(); break;
    case akWma:
        if (WmaIO.CloseWMAReadFile)
            WmaIO.CloseWMAReadFile(&info);
        break;
    default: break;
    }
}
