// Naming the target file: automatic names from the clock, the file selection, and the
// shortened form the window shows.
#include "Naming.h"

#include "Session.h"
#include "framework/RecorderView.h"
#include "framework/SaveDialog.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "settings/CommFunc.h"

#include <algorithm>
#include <cctype>

namespace {

// A UTF-8 continuation byte: a cut before it would split a character.
bool InsideCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string ConfiguredExtension(const RecordingFormat& format)
{
    if (format.UseWma)
        return ".wma";
    return format.RecordType == 0 ? ".wav" : ".mp3";
}

std::string SaveFilterOf(const RecordingFormat& format)
{
    if (format.UseWma)
        return "Wma(*.wma)|*.wma";
    return format.RecordType == 0 ? "Wav(*.wav)|*.wav" : "Mp3(*.mp3)|*.mp3";
}

std::string MakeAutoFileName(const AutoNameSettings& names, const RecordingFormat& format, const QDateTime& now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    std::string name;
    if (names.Year)
        name += PadTwoDigits(date.year());
    if (names.Month)
        name += PadTwoDigits(date.month());
    if (names.Day)
        name += PadTwoDigits(date.day());
    if (!name.empty())
        name += ' ';
    if (names.Hour)
        name += PadTwoDigits(time.hour()) + "-";
    if (names.Minute)
        name += PadTwoDigits(time.minute()) + "-";
    if (names.Second)
        name += PadTwoDigits(time.second()) + "-";
    if (name.empty())
        return {};
    // Only the date parts leave a trailing blank; any time part leaves a trailing "-".
    if (name.back() == '-')
        name.pop_back();
    if (name.back() == ' ')
        name.pop_back();

    platform::ForceDirectories(names.Path);
    const std::string& folder = names.Path;
    const bool hasSeparator = folder.back() == platform::PathSeparator; // not empty: created above
    return folder + (hasSeparator ? "" : std::string(1, platform::PathSeparator)) + name +
        ConfiguredExtension(format);
}

std::string ChosenFileName(const std::string& chosen, const RecordingFormat& format)
{
    const std::string extension = platform::UpperFileExtension(chosen);
    if (extension == ".WMA" || extension == ".MP3" || extension == ".WAV")
        return chosen;
    return chosen + ConfiguredExtension(format);
}

std::string ShortFileName(const std::string& path, const std::function<int(const std::string&)>& textWidth,
    int labelWidth)
{
    if (labelWidth >= textWidth(path))
        return path;
    const auto separator = path.rfind(platform::PathSeparator);
    if (separator == std::string::npos)
        return path;
    const std::string folder = path.substr(0, separator + 1);
    const std::string tail = std::string("...") + platform::PathSeparator + path.substr(separator + 1);
    std::string result = path;
    // Beginnings grow one character at a time; the first that no longer fits ends the search.
    for (size_t length = 1; length <= folder.size(); ++length) {
        if (length < folder.size() && InsideCharacter(folder[length]))
            continue;
        std::string candidate = folder.substr(0, length) + tail;
        if (textWidth(candidate) > labelWidth)
            break;
        result = std::move(candidate);
    }
    return result;
}

void TRecordingSession::SelectFile()
{
    if (State.Recording)
        return;
    saveDialog_.FileName.clear();
    saveDialog_.Title = "Save As";
    saveDialog_.Filter = SaveFilterOf(settings_.Format);
    // The schedule may begin a recording while the dialog is open: its target stays.
    if (!saveDialog_.Execute() || State.Recording)
        return;
    ChooseTarget(::ChosenFileName(saveDialog_.FileName, settings_.Format));
}

void TRecordingSession::ChooseTarget(const std::string& path)
{
    State.TargetFile = path;
    view_.ShowFileName(State.TargetFile);
}

std::string TRecordingSession::MakeAutoFileName() const
{
    return ::MakeAutoFileName(settings_.AutoName, settings_.Format, platform::LocalNow());
}
