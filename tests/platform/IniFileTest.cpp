#include "fakes/FileSizeLimit.h"
#include "fakes/TempFolder.h"
#include "platform/IniFile.h"
#include "platform/PlatformError.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <filesystem>

using fakes::ReadWholeFile;
using fakes::WriteWholeFile;
using platform::IniFile;

TEST(IniFile, TypedReadsFollowTheIntegerRule)
{
    fakes::TempFolder folder;
    WriteWholeFile(folder.File("t.ini"),
        "[s]\nhex=0x20\nword=abc\ntwo=2\nyes=yes\nzero=0\nneg=-3\nempty=\n");
    const IniFile ini(folder.File("t.ini"));
    EXPECT_EQ(ini.ReadInteger("s", "hex", 16), 32);
    EXPECT_EQ(ini.ReadInteger("s", "word", 16), 16);
    EXPECT_EQ(ini.ReadInteger("s", "missing", 16), 16);
    EXPECT_TRUE(ini.ReadBool("s", "two", false));
    EXPECT_FALSE(ini.ReadBool("s", "yes", false));
    EXPECT_TRUE(ini.ReadBool("s", "yes", true));
    EXPECT_FALSE(ini.ReadBool("s", "zero", true));
    EXPECT_TRUE(ini.ReadBool("s", "neg", false));
    EXPECT_EQ(ini.ReadString("s", "empty", "default"), "");
    EXPECT_EQ(ini.ReadString("s", "missing", "default"), "default");
}

TEST(IniFile, LongStringsAreCutBetweenCharacters)
{
    fakes::TempFolder folder;
    const std::string ascii(5000, 'a');
    std::string accented = std::string(2046, 'b') + "\xc3\xa9" + "tail"; // é straddles the limit
    WriteWholeFile(folder.File("t.ini"), "[s]\nascii=" + ascii + "\naccented=" + accented + "\n");
    const IniFile ini(folder.File("t.ini"));
    EXPECT_EQ(ini.ReadString("s", "ascii", ""), std::string(2047, 'a'));
    EXPECT_EQ(ini.ReadString("s", "accented", ""), std::string(2046, 'b'));
}

TEST(IniFile, MissingFileReadsEmptyAndIsNotCreated)
{
    fakes::TempFolder folder;
    const IniFile ini(folder.File("none.ini"));
    EXPECT_EQ(ini.ReadInteger("s", "k", 9), 9);
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.ini")));
    const IniFile aFolder(folder.Path()); // a folder in place of the file reads as no file
    EXPECT_EQ(aFolder.ReadInteger("s", "k", 9), 9);
}

TEST(IniFile, CommitReplacesTheFileWhole)
{
    fakes::TempFolder folder;
    const auto path = folder.File("t.ini");
    WriteWholeFile(path, "; hand-written\n[s]\nk=1\n");
    IniFile ini(path);
    ini.WriteInteger("s", "k", 2);
    ini.WriteBool("s", "b", true);
    ini.Commit();
    EXPECT_EQ(ReadWholeFile(path), "; hand-written\n[s]\nk=2\nb=1\n");
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(IniFile, FailedCommitLeavesTheOldFileByteForByte)
{
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    const std::string old = "[set]\r\nRecordType=0\r\n; mine\r\n";
    WriteWholeFile(path, old);
    IniFile ini(path);
    ini.WriteString("set", "Big", std::string(4096, 'x'));

    try {
        const fakes::FileSizeLimit limit(64);
        ini.Commit();
        ADD_FAILURE() << "the commit should have failed";
    } catch (const platform::PlatformError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadWholeFile(path), old);
}

TEST(IniFile, AFileThatCouldNotBeReadOrIsALinkIsKept)
{
    fakes::TempFolder folder;
    // Reading the process's own memory at offset 0 fails with an I/O error, even for root.
    const auto broken = folder.File("broken.ini");
    std::filesystem::create_symlink("/proc/self/mem", broken);
    IniFile unreadable(broken);
    EXPECT_EQ(unreadable.ReadInteger("set", "RecordType", 7), 7) << "read as empty";
    unreadable.WriteInteger("set", "RecordType", 1);
    try {
        unreadable.Commit();
        ADD_FAILURE() << "a file that could not be read must not be replaced";
    } catch (const platform::PlatformError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + broken);
    }
    EXPECT_EQ(std::filesystem::read_symlink(broken), "/proc/self/mem");

    // A link stays a link; the file it points to gets the new text, atomically beside it.
    std::filesystem::create_directory(folder.File("real"));
    WriteWholeFile(folder.File("real/kept.ini"), "[set]\nk=1\n");
    const auto link = folder.File("set.ini");
    std::filesystem::create_symlink("real/kept.ini", link);
    IniFile linked(link);
    EXPECT_EQ(linked.ReadInteger("set", "k", 0), 1);
    linked.WriteInteger("set", "k", 2);
    linked.Commit();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(folder.File("real/kept.ini")), "[set]\nk=2\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("real")), {}), 1) << "no temporary left";

    // A file the user may not write to is not replaced by a rename (root may write anywhere).
    if (geteuid() != 0) {
        const auto locked = folder.File("locked.ini");
        WriteWholeFile(locked, "[set]\nk=1\n");
        std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
        IniFile ini(locked);
        ini.WriteInteger("set", "k", 2);
        EXPECT_THROW(ini.Commit(), platform::PlatformError);
        EXPECT_EQ(ReadWholeFile(locked), "[set]\nk=1\n");
    }
}

TEST(IniFile, ReadOnlyFolderFailsTheCommit)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the size-limit test covers the failure";
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    WriteWholeFile(path, "[set]\nk=1\n");
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    IniFile ini(path);
    ini.WriteInteger("set", "k", 2);
    EXPECT_THROW(ini.Commit(), platform::PlatformError);
    EXPECT_EQ(ReadWholeFile(path), "[set]\nk=1\n");
}
