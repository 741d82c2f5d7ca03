// The schedule's rules without a window: time texts, the due test at a given moment, the
// refusals it leaves alone, and the target and format a due entry records into.
#include "platform/PlatformError.h"
#include "settings/CommFunc.h"
#include "schedule/Due.h"

#include <gtest/gtest.h>

namespace {

const QLocale UnitedStates(QLocale::English, QLocale::UnitedStates);

// 2 March 2026 is a Monday.
QueueMoment At(int h, int m, int s, QDate date = QDate(2026, 3, 2))
{
    return QueueMomentAt(QDateTime(date, QTime(h, m, s, 500)), UnitedStates);
}

QueueEntry Entry(const std::string& date, const std::string& start, const std::string& target = "/rec/a.mp3")
{
    return {date, start, "00 : 00 : 10", target};
}

// The checks at which the entry is due, one a second from 08:00:00 + from to 08:00:00 + to.
std::vector<std::string> DueSeconds(const QueueEntry& entry, int from, int to)
{
    std::vector<std::string> due;
    for (int t = from; t <= to; ++t) {
        const QueueMoment m = t < 0 ? At(7, 59, 60 + t) : At(8, 0, t);
        if (DueNow(entry, m))
            due.push_back(m.NowText);
    }
    return due;
}

} // namespace

TEST(ScheduleTimeText, PaddingAndStrictParsing)
{
    EXPECT_EQ(PadTwoDigits(7), "07");
    EXPECT_EQ(PadTwoDigits(12), "12");
    EXPECT_EQ(PadTwoDigits(123), "123");
    EXPECT_EQ(TimeText(7, 59, 60), "07 : 59 : 60");

    const struct {
        const char* text;
        int h, m, s;
    } good[] = {{"7 : 5 : 0", 7, 5, 0}, {"21 : 30 : 00", 21, 30, 0}, {"100 : 00 : 59", 100, 0, 59},
        {"+1 : 02 : 03", 1, 2, 3}, {"-1 : 00 : 00", 65535, 0, 0}};
    for (const auto& g : good) {
        const TimeParts p = ParseTimeText(g.text);
        EXPECT_EQ((std::vector<int>{p.Hours, p.Minutes, p.Seconds}), (std::vector<int>{g.h, g.m, g.s})) << g.text;
    }

    // Exactly one character on each side of every colon; the offending part is named.
    const struct {
        const char* text;
        const char* part;
    } bad[] = {{"7:05:00", ""}, {"", ""}, {"07 : 05", ""}, {"07  : 05 : 00", "07 "}, {"07 : 05 : 00 ", "00 "},
        {"aa : 00 : 00", "aa"}, {"07 : 0x : 00", "0x"}, {"07 : 00 : ", ""}, {"99999999999 : 00 : 00", "99999999999"},
        {"+ : 00 : 00", "+"}, {"+-1 : 00 : 00", "+-1"}};
    for (const auto& b : bad) {
        try {
            ParseTimeText(b.text);
            ADD_FAILURE() << "accepted \"" << b.text << "\"";
        } catch (const platform::PlatformError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(b.part) + "' is not a valid integer value") << b.text;
        }
    }
}

TEST(ScheduleDue, MomentTextsAndTheTwoSecondWindow)
{
    const QueueMoment m = At(7, 59, 59);
    EXPECT_EQ(m.NowText, "07 : 59 : 59");
    EXPECT_EQ(m.NextText, "07 : 59 : 60") << "nothing carried";
    EXPECT_EQ(m.DateText, "3/2/26");
    EXPECT_EQ(m.DayName, "Monday");
    const QueueMoment german = QueueMomentAt(QDateTime(QDate(2026, 3, 8), QTime(0, 0)), QLocale(QLocale::German));
    EXPECT_EQ(german.DateText, "08.03.26");
    EXPECT_EQ(german.DayName, "Sunday") << "English whatever the locale";
    EXPECT_EQ(EnglishDayName(6), "Saturday");
    EXPECT_EQ(EnglishDayName(0), "");

    // Caught in its own second, and in the second before unless that one is second 59.
    EXPECT_EQ(DueSeconds(Entry("Everyday", "08 : 00 : 00"), -3, 3), (std::vector<std::string>{"08 : 00 : 00"}));
    EXPECT_EQ(DueSeconds(Entry("Everyday", "08 : 00 : 30"), 27, 33),
        (std::vector<std::string>{"08 : 00 : 29", "08 : 00 : 30"}));
    // Comparisons are by character codes: case and padding matter.
    EXPECT_TRUE(DueSeconds(Entry("everyday", "08 : 00 : 00"), -1, 1).empty());
    EXPECT_TRUE(DueSeconds(Entry("Everyday", "8 : 00 : 00"), -1, 1).empty());
    EXPECT_TRUE(DueSeconds(Entry("Everyday", "08:00:00"), -1, 1).empty());
}

TEST(ScheduleDue, ShortDatesReadBackInTheCenturyNearestToday)
{
    // Qt alone reads a two-digit year as 19yy; the editor's picker must show the entry's day.
    const QDate today(2026, 3, 2);
    EXPECT_EQ(ReadShortDate("12/24/26", UnitedStates, today), QDate(2026, 12, 24));
    EXPECT_EQ(ReadShortDate("1/1/75", UnitedStates, today), QDate(2075, 1, 1));
    EXPECT_EQ(ReadShortDate("1/1/77", UnitedStates, today), QDate(1977, 1, 1));
    EXPECT_EQ(ReadShortDate("29.02.28", QLocale(QLocale::German), today), QDate(2028, 2, 29));
    EXPECT_EQ(ShortDateText(ReadShortDate("3/2/26", UnitedStates, today), UnitedStates), "3/2/26");
    for (const char* bad : {"", "2026-03-02", "13/1/26", "Everyday"}) {
        try {
            ReadShortDate(bad, UnitedStates, today);
            ADD_FAILURE() << bad << " read as a date";
        } catch (const platform::PlatformError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid date");
        }
    }
}

TEST(ScheduleDue, WhichDaysAndWhichEntry)
{
    // A week from Monday 2 March: the weekday entry on Mondays, the date entry on its date.
    const QueueEntry monday = Entry("Monday", "08 : 00 : 00");
    const QueueEntry dated = Entry("3/4/26", "08 : 00 : 00");
    const QueueEntry everyday = Entry("Everyday", "08 : 00 : 00");
    for (int day = 0; day < 14; ++day) {
        const QDate date = QDate(2026, 3, 2).addDays(day);
        const QueueMoment m = At(8, 0, 0, date);
        EXPECT_EQ(DueNow(monday, m), date.dayOfWeek() == 1) << m.DateText;
        EXPECT_EQ(DueNow(dated, m), date == QDate(2026, 3, 4)) << m.DateText;
        EXPECT_TRUE(DueNow(everyday, m)) << m.DateText;
        EXPECT_FALSE(DueNow(monday, At(8, 0, 2, date)));
    }

    // Due entries in list order: the first is the one to start.
    const std::vector<QueueEntry> entries = {Entry("Tuesday", "08 : 00 : 00"), Entry("Everyday", "08 : 00 : 01"),
        Entry("Monday", "08 : 00 : 00"), Entry("Everyday", "09 : 00 : 00")};
    EXPECT_EQ(DueEntries(entries, At(8, 0, 0), {}, ""), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(DueEntries(entries, At(8, 0, 1), {}, ""), (std::vector<size_t>{1}));
    EXPECT_TRUE(DueEntries({}, At(8, 0, 0), {}, "").empty());
}

TEST(ScheduleDue, RefusedEntryLeftAloneForItsWindowOnly)
{
    const QueueEntry a = Entry("Everyday", "08 : 00 : 01", "/rec/a.mp3");
    const QueueEntry b = Entry("Everyday", "08 : 00 : 01", "/rec/b.mp3");
    const std::vector<QueueEntry> entries = {a, b, a};
    const std::vector<QueueEntry> refused = {a};
    const std::string today = At(8, 0, 0).DateText;

    EXPECT_EQ(DueEntries(entries, At(8, 0, 0), refused, today), (std::vector<size_t>{1}))
        << "the refused entry (and its twin) skipped, the others still tried";
    EXPECT_EQ(DueEntries(entries, At(8, 0, 1), refused, today), (std::vector<size_t>{1}));
    EXPECT_EQ(DueEntries(entries, At(8, 0, 0), refused, ""), (std::vector<size_t>{0, 1, 2})) << "no refusal";
    EXPECT_EQ(DueEntries(entries, At(8, 0, 0, QDate(2026, 3, 3)), refused, today), (std::vector<size_t>{0, 1, 2}))
        << "the next day it is due again";

    std::vector<QueueEntry> remembered = {a, b};
    std::string date = today;
    ForgetPastRefusals(remembered, date, At(8, 0, 1));
    EXPECT_EQ(remembered.size(), 2u) << "still inside the window";
    EXPECT_EQ(date, today);
    ForgetPastRefusals(remembered, date, At(8, 0, 2));
    EXPECT_TRUE(remembered.empty());
    EXPECT_EQ(date, "");

    // A clock set back into the window later that day finds the refusal forgotten.
    EXPECT_EQ(DueEntries(entries, At(8, 0, 1), remembered, date), (std::vector<size_t>{0, 1, 2}));
}

TEST(ScheduleTarget, FormatFromTheAutoNameFormOrTheExtension)
{
    const struct {
        const char* target;
        bool autoName;
        int recordType;
        bool useWma;
    } cases[] = {
        {"/rec/show.MP3", false, 1, false},
        {"/rec/show", false, 2, true},
        {"/rec/show.wav", false, 0, false},
        {"/rec/show.Wma", false, 2, true},
        {"/rec/show.ogg", false, 2, true},
        {"/rec.mp3/show", false, 2, true},
        {"/rec/show.mp3.", false, 2, true},
        {"Use Auto Name Record WAV", true, 0, false},
        {"Use Auto Name Record MP3", true, 1, false},
        {"Use Auto Name Record WMA", true, 2, true},
        {"Use Auto Name Record MP3 please", true, 1, false},
        {"Use Auto Name Record wav", true, 2, true},
        {"Use Auto Name Record ", true, 2, true},
        {"Use Auto Name Record", false, 2, true},
        {"use auto name record WAV.wav", false, 0, false},
    };
    for (const auto& c : cases) {
        const QueueTarget t = ChooseQueueTarget(c.target);
        EXPECT_EQ(t.AutoName, c.autoName) << c.target;
        EXPECT_EQ(t.RecordType, c.recordType) << c.target;
        EXPECT_EQ(t.UseWma, c.useWma) << c.target;
        EXPECT_EQ(t.TargetFile, c.autoName ? "" : c.target);
    }
}
