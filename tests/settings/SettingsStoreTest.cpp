#include "fakes/FileSizeLimit.h"
#include "fakes/TempFolder.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"
#include "settings/SettingsStore.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <filesystem>
#include <random>
#include <unistd.h>

using fakes::ReadWholeFile;
using fakes::WriteWholeFile;

namespace {

struct Loaded {
    RecorderSettings settings;
    RecordingQueue queue;
};

Loaded LoadFrom(const std::string& path)
{
    Loaded loaded;
    LoadSettings(path, loaded.settings, loaded.queue);
    return loaded;
}

Loaded LoadText(const fakes::TempFolder& folder, const std::string& text)
{
    WriteWholeFile(folder.File("set.ini"), text);
    return LoadFrom(folder.File("set.ini"));
}

bool SameSettings(const RecorderSettings& a, const RecorderSettings& b)
{
    const auto& f = a.Format;
    const auto& g = b.Format;
    return f.RecordType == g.RecordType && f.Channels == g.Channels && f.SampleRate == g.SampleRate
        && f.Mp3Rate == g.Mp3Rate && f.BufferNumber == g.BufferNumber && f.BufferSize == g.BufferSize
        && f.UseWma == g.UseWma && f.WmaSamplePerSec == g.WmaSamplePerSec && f.WmaChannels == g.WmaChannels
        && f.WmaBitrate == g.WmaBitrate && a.AutoPause.Enable == b.AutoPause.Enable
        && a.AutoPause.LowerLevel == b.AutoPause.LowerLevel && a.AutoPause.LowerTime == b.AutoPause.LowerTime
        && a.AutoPause.LouderLevel == b.AutoPause.LouderLevel && a.AutoName.Enable == b.AutoName.Enable
        && a.AutoName.Year == b.AutoName.Year && a.AutoName.Month == b.AutoName.Month
        && a.AutoName.Day == b.AutoName.Day && a.AutoName.Hour == b.AutoName.Hour
        && a.AutoName.Minute == b.AutoName.Minute && a.AutoName.Second == b.AutoName.Second
        && a.AutoName.Path == b.AutoName.Path && a.AutoStop.Enable == b.AutoStop.Enable
        && a.AutoStop.Hour == b.AutoStop.Hour && a.AutoStop.Minute == b.AutoStop.Minute
        && a.AutoStop.Second == b.AutoStop.Second && a.Advanced == b.Advanced;
}

bool SameQueue(const RecordingQueue& a, const RecordingQueue& b)
{
    if (a.Disable != b.Disable || a.Entries.size() != b.Entries.size())
        return false;
    for (size_t i = 0; i < a.Entries.size(); ++i) {
        const auto& x = a.Entries[i];
        const auto& y = b.Entries[i];
        if (x.Date != y.Date || x.StartTime != y.StartTime || x.LengthTime != y.LengthTime || x.TargetFile != y.TargetFile)
            return false;
    }
    return true;
}

QueueEntry Entry(int n)
{
    return {"Everyday", "07 : 0" + std::to_string(n) + " : 00", "00 : 10 : 00", "/rec/" + std::to_string(n) + ".mp3"};
}

} // namespace

TEST(SettingsStore, NoFileGivesDefaultsAndTheFirstSaveWritesEveryKeyInOrder)
{
    fakes::TempFolder folder;
    auto loaded = LoadFrom(folder.File("set.ini"));
    EXPECT_TRUE(SameSettings(loaded.settings, RecorderSettings{}));
    EXPECT_TRUE(loaded.queue.Entries.empty());
    EXPECT_FALSE(loaded.queue.Disable);
    EXPECT_EQ(loaded.settings.AutoName.Path, platform::HomeFolder());
    const auto effective = EffectiveFormatOf(loaded.settings.Format);
    EXPECT_EQ(effective.RecordType, 2);
    EXPECT_EQ(effective.SampleRate, 44100);
    EXPECT_EQ(effective.Channels, 2);
    EXPECT_EQ(effective.Bitrate, 64);
    EXPECT_EQ(loaded.settings.Format.RecordType, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.File("set.ini"))) << "loading creates nothing";

    SaveSettings(folder.File("set.ini"), loaded.settings, loaded.queue);
    EXPECT_EQ(ReadWholeFile(folder.File("set.ini")),
        "[set]\nRecordType=1\nChannels=2\nSample Rate=44100\nMP3 Rate=128\nBuffer Number=16\n"
        "Buffer Size=2000\nAdvanced=0\nInput=\n"
        "[Queue]\nDisable=0\nCount=0\n"
        "[AutoPause]\nEnable=0\nLowerLevel=5\nLouderLevel=5\nLowerTime=5\n"
        "[AutoName]\nEnable=0\nYear=1\nMonth=1\nDay=1\nHour=1\nMinute=1\nSecond=1\nPath="
            + platform::HomeFolder() + "\n"
        "[AutoStop]\nEnable=0\nHour=0\nMinute=10\nSecond=0\n"
        "[WMA]\nUse=1\nSamplePerSec=44100\nChannels=2\nBitrate=64\n");
}

TEST(SettingsStore, ValueRules)
{
    fakes::TempFolder folder;
    auto loaded = LoadText(folder,
        "[set]\nBuffer Number=0x20\nBuffer Size=abc\nRecordType=2\n"
        "[AutoPause]\nEnable=2\n[AutoStop]\nEnable=yes\n"
        "[AutoName]\nPath=\n[WMA]\nUse=1\n");
    EXPECT_EQ(loaded.settings.Format.BufferNumber, 32);
    EXPECT_EQ(loaded.settings.Format.BufferSize, 2000);
    EXPECT_TRUE(loaded.settings.AutoPause.Enable);
    EXPECT_FALSE(loaded.settings.AutoStop.Enable);
    EXPECT_EQ(loaded.settings.AutoName.Path, "") << "present but empty is not the default";
    EXPECT_EQ(EffectiveFormatOf(loaded.settings.Format).RecordType, 2) << "a file written after a queued WMA recording";

    loaded = LoadText(folder, "[set]\nBuffer Number=abc\n[AutoPause]\nEnable=yes\n");
    EXPECT_EQ(loaded.settings.Format.BufferNumber, 16);
    EXPECT_FALSE(loaded.settings.AutoPause.Enable);
}

TEST(SettingsStore, QueueCountRules)
{
    fakes::TempFolder folder;
    auto loaded = LoadText(folder,
        "[Queue]\nCount=3\nDate0=Monday\nStartTime0=07 : 05 : 00\nLengthTime0=00 : 10 : 00\nTargetFile0=/a.wav\n"
        "Date1=Everyday\nTargetFile1=Use Auto Name Record MP3\n");
    ASSERT_EQ(loaded.queue.Entries.size(), 3u);
    EXPECT_EQ(loaded.queue.Entries[0].StartTime, "07 : 05 : 00");
    EXPECT_EQ(loaded.queue.Entries[1].TargetFile, "Use Auto Name Record MP3") << "a trailing blank of a value is trimmed, the inner one kept";
    EXPECT_EQ(loaded.queue.Entries[1].StartTime, "");
    const auto& third = loaded.queue.Entries[2];
    EXPECT_TRUE(third.Date.empty() && third.StartTime.empty() && third.LengthTime.empty() && third.TargetFile.empty());

    EXPECT_TRUE(LoadText(folder, "[Queue]\nCount=-4\nDate0=Monday\n").queue.Entries.empty());
    EXPECT_EQ(LoadText(folder, "[Queue]\nCount=2147483647\n").queue.Entries.size(), static_cast<size_t>(MaxQueueEntries));
}

TEST(SettingsStore, ShorterQueueLeavesDroppedIndexesInTheFile)
{
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    RecorderSettings settings;
    RecordingQueue queue;
    for (int n = 0; n < 5; ++n)
        queue.Entries.push_back(Entry(n));
    SaveSettings(path, settings, queue);
    queue.Entries.erase(queue.Entries.begin() + 1, queue.Entries.begin() + 3); // the user deletes two
    SaveSettings(path, settings, queue);

    const auto text = ReadWholeFile(path);
    EXPECT_NE(text.find("Count=3\n"), std::string::npos);
    EXPECT_NE(text.find("TargetFile2=/rec/4.mp3\n"), std::string::npos) << "index 2 rewritten";
    EXPECT_NE(text.find("TargetFile3=/rec/3.mp3\n"), std::string::npos) << "index 3 stays";
    EXPECT_NE(text.find("TargetFile4=/rec/4.mp3\n"), std::string::npos) << "index 4 stays";
    const auto loaded = LoadFrom(path);
    EXPECT_TRUE(SameQueue(loaded.queue, queue));
}

TEST(SettingsStore, HandEditedFileKeepsItsOwnLinesThroughASave)
{
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    WriteWholeFile(path,
        "; written by hand\r\n"
        "[SET]\r\n"
        "recordtype = 0\r\n"
        "my own key=keep me\r\n"
        "\r\n"
        "[Plugins]\r\n"
        "Colour=green\r\n"
        "[wma]\r\n"
        "USE=0\r\n");
    auto loaded = LoadFrom(path);
    EXPECT_EQ(loaded.settings.Format.RecordType, 0);
    EXPECT_FALSE(loaded.settings.Format.UseWma);
    loaded.settings.Format.RecordType = 1;
    SaveSettings(path, loaded.settings, loaded.queue);

    const auto text = ReadWholeFile(path);
    EXPECT_EQ(text.rfind("; written by hand\r\n[SET]\r\nrecordtype=1\r\nmy own key=keep me\r\nChannels=2\r\n", 0), 0u)
        << "new keys follow the section's last key line:\n" << text;
    for (const char* kept : {"\r\n\r\n[Plugins]\r\nColour=green\r\n", "[wma]\r\nUSE=0\r\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "no LF-only line crept in";
    EXPECT_EQ(text.find("[WMA]"), std::string::npos) << "the file's spelling of the section is kept";
    EXPECT_TRUE(SameSettings(LoadFrom(path).settings, loaded.settings));
}

TEST(SettingsStore, RandomisedSaveThenLoadGivesTheSameBack)
{
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    std::mt19937 random(2026);
    auto integer = [&] { return static_cast<int32_t>(random()); };
    auto flag = [&] { return (random() & 1) != 0; };
    auto text = [&] {
        // Printable text without blanks at the ends and without enclosing quotes: what the
        // editor produces.
        static const std::string chars = "abcXYZ019 :/._-\\=[];#\xc3\xa9";
        std::string s = "x";
        for (int i = static_cast<int>(random() % 30); i > 0; --i)
            s += chars[random() % chars.size()];
        return s + "y";
    };
    for (int round = 0; round < 25; ++round) {
        Loaded original;
        auto& f = original.settings.Format;
        f.RecordType = integer(); f.Channels = integer(); f.SampleRate = integer(); f.Mp3Rate = integer();
        f.BufferNumber = integer(); f.BufferSize = integer(); f.UseWma = flag();
        f.WmaSamplePerSec = integer(); f.WmaChannels = integer(); f.WmaBitrate = integer();
        auto& p = original.settings.AutoPause;
        p.Enable = flag(); p.LowerLevel = integer(); p.LowerTime = integer(); p.LouderLevel = integer();
        auto& n = original.settings.AutoName;
        n.Enable = flag(); n.Year = flag(); n.Month = flag(); n.Day = flag(); n.Hour = flag(); n.Minute = flag();
        n.Second = flag(); n.Path = text();
        auto& s = original.settings.AutoStop;
        s.Enable = flag(); s.Hour = integer(); s.Minute = integer(); s.Second = integer();
        original.settings.Advanced = integer();
        original.queue.Disable = flag();
        for (int e = static_cast<int>(random() % 8); e > 0; --e)
            original.queue.Entries.push_back({text(), text(), text(), text()});

        SaveSettings(path, original.settings, original.queue);
        const auto loaded = LoadFrom(path);
        ASSERT_TRUE(SameSettings(loaded.settings, original.settings)) << "round " << round;
        ASSERT_TRUE(SameQueue(loaded.queue, original.queue)) << "round " << round;
    }
}

TEST(SettingsStore, FailedSaveLeavesTheOldFileByteForByte)
{
    fakes::TempFolder folder;
    const auto path = folder.File("set.ini");
    const std::string old = "[set]\r\nRecordType=0\r\n; keep\r\n";
    WriteWholeFile(path, old);
    RecorderSettings settings;
    RecordingQueue queue;
    try {
        const fakes::FileSizeLimit limit(100);
        SaveSettings(path, settings, queue);
        ADD_FAILURE() << "the save should have failed";
    } catch (const platform::PlatformError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadWholeFile(path), old);
}

TEST(SettingsStore, NonTextFilesLoadDefaults)
{
    fakes::TempFolder folder;
    std::mt19937 random(1);
    std::string binary(1 << 16, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    const std::string nulInKey = std::string("[set]\nRecord\0Type=0\nChannels=1\0\n", 32);
    const std::string longLine = "[set]\nChannels=" + std::string(1 << 20, '7') + "\nRecordType=0\n";
    for (const auto& text : {binary, nulInKey, longLine, std::string(1 << 20, '\0')}) {
        const auto loaded = LoadText(folder, text);
        EXPECT_EQ(loaded.settings.Format.Channels, 2);
        EXPECT_EQ(loaded.settings.Format.WmaBitrate, 64);
    }
    EXPECT_EQ(LoadText(folder, longLine).settings.Format.RecordType, 0) << "keys after a long line still read";

    // Fifty megabytes of key lines in one section still load (and the real keys after them).
    std::string big = "[set]\n";
    big.reserve(50u << 20);
    for (int i = 0; big.size() < (50u << 20); ++i)
        big += "Filler" + std::to_string(i) + "=some value to fill the line\n";
    big += "RecordType=0\n";
    EXPECT_EQ(LoadText(folder, big).settings.Format.RecordType, 0);
}

TEST(SettingsStore, SetIniStaysBesideTheProgramWhereItMayBeWritten)
{
    namespace fs = std::filesystem;
    fakes::TempFolder program;
    fakes::TempFolder config;
    program.BecomeExeFolder();
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path()));
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec;

    EXPECT_EQ(SettingsFilePath(), program.File("set.ini")) << "a writable folder";
    WriteWholeFile(program.File("set.ini"), "[set]\n");
    fs::permissions(program.Path(), readOnly);
    EXPECT_EQ(SettingsFilePath(), program.File("set.ini")) << "a read-only folder that holds one";
    fs::permissions(program.Path(), fs::perms::owner_all);
    fs::remove(program.File("set.ini"));
    fs::permissions(program.Path(), readOnly);
    // Root may write anywhere: for it every folder is writable.
    if (geteuid() != 0) {
        EXPECT_EQ(SettingsFilePath(), config.File("kestrune/set.ini")) << "an installed program's folder";
    }
    if (savedConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}
