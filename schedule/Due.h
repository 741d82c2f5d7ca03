#pragma once
// The schedule's rules that need no window: when an entry's start is due, for how long it
// records, and into what. The runner (the main window's tmQueueTimer) applies them once a second.
#include "settings/RecordingQueue.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A target named automatically: this prefix (21 characters), then "WAV", "MP3" or another
// format's name (WMA).
inline constexpr std::string_view AutoNamePrefix = "Use Auto Name Record ";

// The weekdays' English names, Monday first.
inline constexpr std::array<const char*, 7> WeekDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// A date as queue entries write it: the locale's short date format.
std::string ShortDateText(const QDate& date, const QLocale& locale);

// A queue entry's date text read in the locale's short date format. A two-digit year is taken
// in the century that brings it nearest to `today`. Throws
// platform::PlatformError("'<text>' is not a valid date") when the text does not read.
QDate ReadShortDate(const std::string& text, const QLocale& locale, const QDate& today);

// "Monday" ... "Sunday" for QDate's day numbers 1 to 7; empty for anything else.
std::string EnglishDayName(int dayOfWeek);

// An entry's StartTime as a time of day. Only the editor's own form reads ("hh : mm : ss", two
// digits each, a time of the day); anything else is an invalid QTime and never due.
QTime ReadStartTime(const std::string& text);

// The entry's Date names the day: "Everyday", the day's short date text or its English weekday
// name, each exactly as written.
bool FallsOn(const QueueEntry& entry, const QDate& day, const QLocale& locale);

// The first instant at which the clock of `zone` reads `time` or later on `day`. A time in the
// hour skipped when summer time begins starts at the jump; a time in the hour repeated when it
// ends starts at its first reading.
QDateTime StartInstant(const QDate& day, const QTime& time, const QTimeZone& zone);

// The same four texts.
bool SameEntry(const QueueEntry& a, const QueueEntry& b);

// An entry's start on one day that has been dealt with (started, refused, failed or skipped):
// it is not tried again.
struct TakenStart {
    QueueEntry Entry;
    QDate Day;
};

// Drops the taken starts of the days before `day`.
void ForgetTakenBefore(std::vector<TakenStart>& taken, const QDate& day);

// Where a look at `now` begins: the last look, or one second before now at the first look and
// when the clock has been set back; never more than a week back.
QDateTime LookFrom(const QDateTime& lastLook, const QDateTime& now);

// An entry's start on one day, due at a look.
struct DueStart {
    size_t Index = 0; // into the entries
    QDate Day;
    QDateTime Start;
};

// The starts after `since` and no later than `now`, on the clock of now's time zone, less the
// taken ones; by day, then in list order.
std::vector<DueStart> DueStarts(const std::vector<QueueEntry>& entries, const QDateTime& since,
    const QDateTime& now, const QLocale& locale, const std::vector<TakenStart>& taken);

// The seconds a due start records when it starts at `now`: all of `length` when at most two
// seconds late; later, what is left to its planned end (start + length), to the nearest second;
// nothing once that end has passed.
std::optional<uint32_t> LengthToRecord(const QDateTime& start, uint32_t length, const QDateTime& now);

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
