#include "fakes/TempFolder.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace platform;

TEST(ForceDirectories, CreatesTheWholeChain)
{
    fakes::TempFolder folder;
    const auto deep = folder.File("a/b/c");
    ForceDirectories(deep);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    ForceDirectories(deep); // existing: nothing to do, no error
    ForceDirectories(folder.File("a/b/c/")); // a trailing separator is the same folder
}

TEST(ForceDirectories, EmptyOrImpossibleRaises)
{
    fakes::TempFolder folder;
    fakes::WriteWholeFile(folder.File("plain"), "x");
    for (const std::string& bad : {std::string(), folder.File("plain/sub"), folder.File("plain")}) {
        try {
            ForceDirectories(bad);
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const PlatformError& e) {
            EXPECT_STREQ(e.what(), "Unable to create directory");
        }
    }
}

TEST(Files, ExistenceDeletionAndFolderPart)
{
    fakes::TempFolder folder;
    const auto file = folder.File("x.wav");
    EXPECT_FALSE(FileExists(file));
    fakes::WriteWholeFile(file, "data");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(folder.Path())) << "a folder is not a file";
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(folder.Path()));

    EXPECT_EQ(ExtractFileDir("/home/u/rec/a.wav"), "/home/u/rec");
    EXPECT_EQ(ExtractFileDir("/a.wav"), "/");
    EXPECT_EQ(ExtractFileDir("a.wav"), "");
}

TEST(Paths, ExeFolderOverrideAndHome)
{
    const auto real = ExeFolder();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(real.back(), PathSeparator);
    SetExeFolderOverride("/tmp/somewhere");
    EXPECT_EQ(ExeFolder(), "/tmp/somewhere/");
    SetExeFolderOverride("");
    EXPECT_EQ(ExeFolder(), real);
    EXPECT_EQ(HomeFolder().back(), PathSeparator);
}
