#include "fakes/TempFolder.h"
#include "platform/RiffReader.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {
std::string Le32(uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string Chunk(const std::string& id, const std::string& body)
{
    std::string c = id + Le32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() & 1)
        c += '\0'; // the padding byte
    return c;
}
std::string Riff(const std::string& form, const std::string& chunks)
{
    return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + form + chunks;
}
} // namespace

TEST(RiffReader, DescendsPastOtherChunksAndAscendsPastPadding)
{
    fakes::TempFolder folder;
    const std::string fmt(40, 'f');
    const std::string file = Riff("WAVE", Chunk("fmt ", fmt) + Chunk("odd ", "abc") + Chunk("LIST", "INFOxxxx")
        + Chunk("data", "0123456789"));
    fakes::WriteWholeFile(folder.File("a.wav"), file);

    MmioFile mm;
    ASSERT_TRUE(mm.Open(folder.File("a.wav")));
    MMCKINFO parent;
    parent.fccType = mmioStringToFOURCC("WAVE");
    ASSERT_EQ(mm.Descend(parent, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(parent.dwDataOffset, 8u);
    EXPECT_EQ(mm.Seek(0, SEEK_CUR), 12) << "after the form type";

    MMCKINFO child;
    child.ckid = mmioStringToFOURCC("fmt ");
    ASSERT_EQ(mm.Descend(child, &parent, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(child.cksize, 40u);
    char buffer[18];
    EXPECT_EQ(mm.Read(buffer, 18), 18);
    ASSERT_EQ(mm.Ascend(child), MMSYSERR_NOERROR);

    child = MMCKINFO{};
    child.ckid = mmioStringToFOURCC("data");
    ASSERT_EQ(mm.Descend(child, &parent, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(child.cksize, 10u);
    char data[16] = {};
    EXPECT_EQ(mm.Read(data, 16), 10);
    EXPECT_EQ(std::string(data, 10), "0123456789");
    EXPECT_EQ(mm.Read(data, 16), 0) << "the end";

    // A chunk that is not there: not found, and the position is where it was.
    mm.Seek(12, SEEK_SET);
    MMCKINFO missing;
    missing.ckid = mmioStringToFOURCC("cue ");
    EXPECT_EQ(mm.Descend(missing, &parent, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
    EXPECT_EQ(mm.Seek(0, SEEK_CUR), 12);
    mm.Close();
    mm.Close();
    EXPECT_EQ(mm.Read(data, 1), -1);
}

TEST(RiffReader, WrongFormJunkAndTruncatedFiles)
{
    fakes::TempFolder folder;
    MmioFile mm;
    EXPECT_FALSE(mm.Open(folder.File("none.wav")));

    for (const std::string& text : {Riff("AVI ", Chunk("data", "xx")), std::string("junk, not a RIFF file"),
             std::string(), std::string("RIFF\xff\xff\xff\x7fWAVEdata\xff\xff\xff\x7f", 20)}) {
        fakes::WriteWholeFile(folder.File("t.wav"), text);
        ASSERT_TRUE(mm.Open(folder.File("t.wav")));
        MMCKINFO parent;
        parent.fccType = mmioStringToFOURCC("WAVE");
        const int riff = mm.Descend(parent, nullptr, MMIO_FINDRIFF);
        if (riff == MMSYSERR_NOERROR) {
            // A data chunk claiming more than the file: found, and reading stops at the end.
            MMCKINFO child;
            child.ckid = mmioStringToFOURCC("data");
            ASSERT_EQ(mm.Descend(child, &parent, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
            char buffer[64];
            EXPECT_EQ(mm.Read(buffer, 64), 0);
        } else {
            EXPECT_EQ(riff, MMIOERR_CHUNKNOTFOUND);
        }
        mm.Close();
    }
    EXPECT_EQ(mmioStringToFOURCC("WAVE"), 0x45564157u);
    EXPECT_EQ(mmioStringToFOURCC("ab"), mmioStringToFOURCC("ab  ")) << "short codes are padded with blanks";
}
