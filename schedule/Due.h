#pragma once
// The schedule's rules that need no window: when an entry is due, and what a due entry
// records into. The runner (the main window's tmQueueTimer) applies them once a second.
#include "settings/RecordingQueue.h"

#include <QDateTime>
#include <QLocale>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A target named automatically: this prefix (21 characters), then "WAV", "MP3" or another
// format's name (WMA).
inline constexpr std::string_view AutoNamePrefix = "Use Auto Name Record ";

// The weekdays' English names, Monday first.
inline constexpr std::array<const char*, 7> WeekDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// One second of the clock as the due test reads it.
struct QueueMoment {
    std::string DateText; // today in the locale's short date format
    std::string NowText;  // time text of the current second
    std::string NextText; // the same with the seconds plus one and nothing carried: "60" at second 59
    std::string DayName;  // today's English weekday name, whatever the locale
};

// A date as queue entries write it: the locale's short date format.
std::string ShortDateText(const QDate& date, const QLocale& locale);

// A queue entry's date text read in the locale's short date format. A two-digit year is taken
// in the century that brings it nearest to `today`. Throws
// platform::PlatformError("'<text>' is not a valid date") when the text does not read.
QDate ReadShortDate(const std::string& text, const QLocale& locale, const QDate& today);

// "Monday" ... "Sunday" for QDate's day numbers 1 to 7; empty for anything else.
std::string EnglishDayName(int dayOfWeek);

// The moment of a local date and time, its date written in the locale's short date format.
QueueMoment QueueMomentAt(const QDateTime& now, const QLocale& locale);

// The entry's Date is "Everyday", today's date text or today's weekday name, and its
// StartTime lies between the now and next texts. Every comparison is by character codes, so
// a start time is caught in its own second and the one before (only its own at second 59).
bool DueNow(const QueueEntry& entry, const QueueMoment& moment);

// The same four texts.
bool SameEntry(const QueueEntry& a, const QueueEntry& b);

// Entries whose start the engine refused on the day whose date text is refusedDate (empty:
// none) are left alone while they stay due that day: their window of at most two seconds.
bool RefusalStands(const QueueEntry& refused, const std::string& refusedDate, const QueueMoment& moment);

// Drops the refusals that no longer stand, and the date with the last of them. Run at every
// check, it keeps every remembered refusal on today's date.
void ForgetPastRefusals(std::vector<QueueEntry>& refused, std::string& refusedDate, const QueueMoment& moment);

// Indices of the entries due at the moment, in list order, less those whose refusal stands.
std::vector<size_t> DueEntries(const std::vector<QueueEntry>& entries, const QueueMoment& moment,
    const std::vector<QueueEntry>& refused, const std::string& refusedDate);

// What a due entry sets before it starts.
struct QueueTarget {
    int32_t RecordType = 2; // 0 WAV, 1 MP3, 2 WMA
    bool UseWma = true;
    // The recorder's target is named automatically (after the format is set, so that the
    // extension fits); otherwise it is TargetFile.
    bool AutoName = false;
    std::string TargetFile;
};

// "Use Auto Name Record " (21 characters) followed by WAV, MP3 or anything else (WMA) names
// the file automatically in that format; any other text is the file itself, its extension
// (any case) giving the format: .WAV, .MP3, or WMA for every other extension and none.
QueueTarget ChooseQueueTarget(const std::string& entryTarget);
