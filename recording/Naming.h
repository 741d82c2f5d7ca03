#pragma once
// The naming rules that need no window: the configured format's extension and save filter,
// automatic names from a given moment, a chosen name completed with the extension, and the
// shortened path that fits a label of a given width.
#include "settings/RecorderSettings.h"

#include <QDateTime>
#include <functional>
#include <string>

// ".wma" under WMA, else ".wav" for RecordType 0, else ".mp3".
std::string ConfiguredExtension(const RecordingFormat& format);

// The save dialog's filter of the configured format, "Wma(*.wma)|*.wma" and its kin.
std::string SaveFilterOf(const RecordingFormat& format);

// The date parts, a blank, the time parts joined by "-", inside the auto-name folder, with
// the configured extension. Empty (and nothing created) when every part is off; otherwise the
// folder is created first, and an empty or impossible folder throws
// PlatformError("Unable to create directory").
std::string MakeAutoFileName(const AutoNameSettings& names, const RecordingFormat& format, const QDateTime& now);

// The path the user accepted in the file selection, with the configured extension appended
// unless it already ends in .wma, .mp3 or .wav (any case, whichever format it belongs to).
std::string ChosenFileName(const std::string& chosen, const RecordingFormat& format);

// The path as a label labelWidth pixels wide shows it: whole when it fits; else the longest
// beginning of its folder part followed by ".../" and the file name that still fits; whole
// again when no such form fits or there is no folder part. textWidth measures a text in
// pixels in the label's font.
std::string ShortFileName(const std::string& path, const std::function<int(const std::string&)>& textWidth,
    int labelWidth);
