#include "SettingsStore.h"

#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <algorithm>

namespace {

// The keys in the order SaveSettings writes them, around the queue's entries. Loading walks
// the same list: each key is read on its own, so the order does not change what loads.
template <class Settings, class Visitor>
void VisitKeysBeforeEntries(Settings& s, bool& disable, Visitor& v)
{
    v.Integer("set", "RecordType", s.Format.RecordType);
    v.Integer("set", "Channels", s.Format.Channels);
    v.Integer("set", "Sample Rate", s.Format.SampleRate);
    v.Integer("set", "MP3 Rate", s.Format.Mp3Rate);
    v.Integer("set", "Buffer Number", s.Format.BufferNumber);
    v.Integer("set", "Buffer Size", s.Format.BufferSize);
    v.Integer("set", "Advanced", s.Advanced);
    v.String("set", "Input", s.Input);
    v.Bool("Queue", "Disable", disable);
}

template <class Settings, class Visitor>
void VisitKeysAfterEntries(Settings& s, Visitor& v)
{
    v.Bool("AutoPause", "Enable", s.AutoPause.Enable);
    v.Integer("AutoPause", "LowerLevel", s.AutoPause.LowerLevel);
    v.Integer("AutoPause", "LouderLevel", s.AutoPause.LouderLevel);
    v.Integer("AutoPause", "LowerTime", s.AutoPause.LowerTime);
    v.Bool("AutoName", "Enable", s.AutoName.Enable);
    v.Bool("AutoName", "Year", s.AutoName.Year);
    v.Bool("AutoName", "Month", s.AutoName.Month);
    v.Bool("AutoName", "Day", s.AutoName.Day);
    v.Bool("AutoName", "Hour", s.AutoName.Hour);
    v.Bool("AutoName", "Minute", s.AutoName.Minute);
    v.Bool("AutoName", "Second", s.AutoName.Second);
    v.String("AutoName", "Path", s.AutoName.Path);
    v.Bool("AutoStop", "Enable", s.AutoStop.Enable);
    v.Integer("AutoStop", "Hour", s.AutoStop.Hour);
    v.Integer("AutoStop", "Minute", s.AutoStop.Minute);
    v.Integer("AutoStop", "Second", s.AutoStop.Second);
    v.Bool("WMA", "Use", s.Format.UseWma);
    v.Integer("WMA", "SamplePerSec", s.Format.WmaSamplePerSec);
    v.Integer("WMA", "Channels", s.Format.WmaChannels);
    v.Integer("WMA", "Bitrate", s.Format.WmaBitrate);
}

// Reads each key over the value already in the field, which is the key's default.
struct Reader {
    const platform::IniFile& ini;
    void Integer(const char* section, const char* key, int32_t& field) { field = ini.ReadInteger(section, key, field); }
    void Bool(const char* section, const char* key, bool& field) { field = ini.ReadBool(section, key, field); }
    void String(const char* section, const char* key, std::string& field) { field = ini.ReadString(section, key, field); }
};

struct Writer {
    platform::IniFile& ini;
    void Integer(const char* section, const char* key, int32_t field) { ini.WriteInteger(section, key, field); }
    void Bool(const char* section, const char* key, bool field) { ini.WriteBool(section, key, field); }
    void String(const char* section, const char* key, const std::string& field) { ini.WriteString(section, key, field); }
};

std::string Indexed(const char* key, size_t index)
{
    return key + std::to_string(index);
}

} // namespace

std::string SettingsFilePath()
{
    const std::string beside = platform::ExeFolder() + "set.ini";
    if (platform::FileExists(beside) || platform::CanWriteIn(platform::ExeFolder()))
        return beside;
    return platform::ConfigFolder() + "set.ini";
}

void LoadSettings(const std::string& path, RecorderSettings& settings, RecordingQueue& queue)
{
    const platform::IniFile ini(path);
    Reader reader{ini};
    settings = RecorderSettings{};
    queue.Disable = false;
    VisitKeysBeforeEntries(settings, queue.Disable, reader);

    queue.Entries.clear();
    const int32_t count = std::min(ini.ReadInteger("Queue", "Count", 0), MaxQueueEntries);
    for (int32_t n = 0; n < count; ++n) {
        const auto i = static_cast<size_t>(n);
        QueueEntry entry;
        entry.Date = ini.ReadString("Queue", Indexed("Date", i), "");
        entry.StartTime = ini.ReadString("Queue", Indexed("StartTime", i), "");
        entry.LengthTime = ini.ReadString("Queue", Indexed("LengthTime", i), "");
        entry.TargetFile = ini.ReadString("Queue", Indexed("TargetFile", i), "");
        queue.Entries.push_back(std::move(entry));
    }

    VisitKeysAfterEntries(settings, reader);
}

void SaveSettings(const std::string& path, const RecorderSettings& settings, const RecordingQueue& queue)
{
    platform::IniFile ini(path);
    Writer writer{ini};
    bool disable = queue.Disable;
    VisitKeysBeforeEntries(settings, disable, writer);

    ini.WriteInteger("Queue", "Count", static_cast<int32_t>(queue.Entries.size()));
    for (size_t i = 0; i < queue.Entries.size(); ++i) {
        const QueueEntry& entry = queue.Entries[i];
        ini.WriteString("Queue", Indexed("Date", i), entry.Date);
        ini.WriteString("Queue", Indexed("StartTime", i), entry.StartTime);
        ini.WriteString("Queue", Indexed("LengthTime", i), entry.LengthTime);
        ini.WriteString("Queue", Indexed("TargetFile", i), entry.TargetFile);
    }

    VisitKeysAfterEntries(settings, writer);
    ini.Commit();
}
