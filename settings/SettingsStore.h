#pragma once
// set.ini: the settings and the queue on disk. Read once when the main window is created,
// written once when it closes.
#include "RecorderSettings.h"
#include "RecordingQueue.h"

#include <string>

// set.ini beside the executable when that folder is writable or already holds one (a build, a
// portable copy); otherwise, as for an installed program, in the user's configuration folder.
std::string SettingsFilePath();

// Fills both from the file. Cannot fail: a missing file, section or key, or a value that
// does not parse, gives that value's default. A missing file is not created.
void LoadSettings(const std::string& path, RecorderSettings& settings, RecordingQueue& queue);

// Writes every key, in the file's fixed order, keeping everything else in the file. Atomic:
// on failure the old file stays as it was and PlatformError("Unable to write to <path>") is
// raised.
void SaveSettings(const std::string& path, const RecorderSettings& settings, const RecordingQueue& queue);

// A damaged Count above this reads as this, so a broken file cannot exhaust memory.
inline constexpr int MaxQueueEntries = 10000;
