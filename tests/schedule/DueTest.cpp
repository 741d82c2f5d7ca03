// The schedule's rules without a window: time texts, start instants through the changes of the
// clock, the starts due between two looks and how long they record, and the target and format
// a due entry records into.
#include "platform/PlatformError.h"
#include "settings/CommFunc.h"
#include "schedule/Due.h"

#include <gtest/gtest.h>

namespace {

const QLocale UnitedStates(QLocale::English, QLocale::UnitedStates);
const QTimeZone Berlin("Europe/Berlin");

// A reading of the clock in Berlin, given as UTC so that either reading of a repeated hour can be named.
QDateTime BerlinAt(QDate date, int h, int m, int s, int ms = 0)
{
    return QDateTime(date, QTime(h, m, s, ms), Qt::UTC).toTimeZone(Berlin);
}

QueueEntry Entry(const std::string& date, const std::string& start, const std::string& target = "/rec/a.mp3")
{
    return {date, start, "00 : 00 : 10", target};
}

// The due starts as "index day", days counted from 2 March 2026.
std::vector<std::string> Due(const std::vector<QueueEntry>& entries, const QDateTime& since, const QDateTime& now,
    const std::vector<TakenStart>& taken = {})
{
    std::vector<std::string> due;
    for (const DueStart& d : DueStarts(entries, since, now, UnitedStates, taken))
        due.push_back(std::to_string(d.Index) + " " + std::to_string(QDate(2026, 3, 2).daysTo(d.Day)));
    return due;
}

using Texts = std::vector<std::string>;

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

TEST(ScheduleDue, DateTextsStartTimesAndDays)
{
    EXPECT_EQ(ShortDateText(QDate(2026, 3, 2), UnitedStates), "3/2/26");
    EXPECT_EQ(ShortDateText(QDate(2026, 3, 8), QLocale(QLocale::German)), "08.03.26");
    EXPECT_EQ(EnglishDayName(6), "Saturday");
    EXPECT_EQ(EnglishDayName(0), "");

    // Only the editor's form reads as a start; padding matters.
    EXPECT_EQ(ReadStartTime("08 : 00 : 30"), QTime(8, 0, 30));
    EXPECT_EQ(ReadStartTime("23 : 59 : 59"), QTime(23, 59, 59));
    for (const char* bad :
        {"8 : 00 : 00", "08:00:00", "08 : 00 : 00 ", "24 : 00 : 00", "08 : 60 : 00", "+8 : 00 : 00", ""})
        EXPECT_FALSE(ReadStartTime(bad).isValid()) << bad;

    // Two weeks from Monday 2 March: the weekday entry on Mondays, the date entry on its date,
    // whatever the locale's weekday names.
    const QLocale german(QLocale::German);
    for (int day = 0; day < 14; ++day) {
        const QDate date = QDate(2026, 3, 2).addDays(day);
        EXPECT_EQ(FallsOn(Entry("Monday", ""), date, german), date.dayOfWeek() == 1) << day;
        EXPECT_EQ(FallsOn(Entry("3/4/26", ""), date, UnitedStates), date == QDate(2026, 3, 4)) << day;
        EXPECT_TRUE(FallsOn(Entry("Everyday", ""), date, UnitedStates));
        EXPECT_FALSE(FallsOn(Entry("everyday", ""), date, UnitedStates));
    }
}

TEST(ScheduleDue, StartInstantsThroughTheChangesOfTheClock)
{
    const QDate spring(2027, 3, 28), autumn(2027, 10, 31);
    EXPECT_EQ(StartInstant(QDate(2027, 3, 27), QTime(2, 30), Berlin), BerlinAt(QDate(2027, 3, 27), 1, 30, 0));
    // The clock jumps from 02:00 to 03:00 (01:00 UTC): every start in between is at the jump.
    for (const QTime time : {QTime(2, 0), QTime(2, 30), QTime(2, 59, 59), QTime(3, 0)})
        EXPECT_EQ(StartInstant(spring, time, Berlin), BerlinAt(spring, 1, 0, 0)) << time.toString().toStdString();
    EXPECT_EQ(StartInstant(spring, QTime(3, 0, 1), Berlin), BerlinAt(spring, 1, 0, 1));
    EXPECT_EQ(StartInstant(spring, QTime(1, 59, 59), Berlin), BerlinAt(spring, 0, 59, 59));
    // The clock goes from 03:00 back to 02:00 (01:00 UTC): the first reading counts.
    EXPECT_EQ(StartInstant(autumn, QTime(2, 30), Berlin), BerlinAt(autumn, 0, 30, 0));
    EXPECT_EQ(StartInstant(autumn, QTime(2, 0), Berlin), BerlinAt(autumn, 0, 0, 0));
    EXPECT_EQ(StartInstant(autumn, QTime(3, 0), Berlin), BerlinAt(autumn, 2, 0, 0));
    EXPECT_EQ(StartInstant(autumn, QTime(0, 0), Berlin), BerlinAt(autumn.addDays(-1), 22, 0, 0));
    // A zone whose clock never changes.
    EXPECT_EQ(StartInstant(spring, QTime(2, 30), QTimeZone("UTC")), QDateTime(spring, QTime(2, 30), Qt::UTC));
}

TEST(ScheduleDue, StartsBetweenTwoLooks)
{
    const QDate monday(2026, 3, 2);
    // Winter time in Berlin, an hour ahead of UTC.
    const auto at = [&](int h, int m, int s, int ms, int days = 0) {
        return BerlinAt(monday.addDays(days), h - 1, m, s, ms);
    };
    const std::vector<QueueEntry> entries = {Entry("Tuesday", "08 : 00 : 00"), Entry("Everyday", "08 : 00 : 01"),
        Entry("Monday", "08 : 00 : 00"), Entry("Everyday", "09 : 00 : 00"), Entry("Everyday", "8 : 00 : 00")};
    // After the last look and no later than now, in list order.
    EXPECT_EQ(Due(entries, at(7, 59, 59, 500), at(8, 0, 1, 500)), (Texts{"1 0", "2 0"}));
    EXPECT_EQ(Due(entries, at(8, 0, 0, 0), at(8, 0, 1, 0)), (Texts{"1 0"}));
    EXPECT_TRUE(Due(entries, at(8, 0, 1, 0), at(8, 59, 59, 999)).empty());
    EXPECT_TRUE(Due({}, at(7, 0, 0, 0), at(9, 0, 0, 0)).empty());
    // A look after a sleep from Friday morning takes every day's starts, by day; the taken ones
    // are left out.
    const std::vector<QueueEntry> daily = {Entry("Everyday", "09 : 00 : 00"), Entry("Everyday", "08 : 00 : 00")};
    EXPECT_EQ(Due(daily, at(8, 30, 0, 0, -3), at(8, 30, 0, 0)), (Texts{"0 -3", "0 -2", "1 -2", "0 -1", "1 -1", "1 0"}));
    std::vector<TakenStart> taken = {
        {daily[1], monday.addDays(-1)}, {daily[0], monday}, {daily[0], monday.addDays(-2)}};
    EXPECT_EQ(Due(daily, at(8, 30, 0, 0, -3), at(8, 30, 0, 0), taken), (Texts{"0 -3", "1 -2", "0 -1", "1 0"}));
    ForgetTakenBefore(taken, monday.addDays(-1));
    EXPECT_EQ(taken.size(), 2u);

    // A look begins at the last, a second back at the first and after the clock was set back,
    // and at most a week back.
    const QDateTime now = at(8, 0, 0, 300);
    EXPECT_EQ(LookFrom({}, now), now.addSecs(-1));
    EXPECT_EQ(LookFrom(now.addSecs(5), now), now.addSecs(-1));
    EXPECT_EQ(LookFrom(now, now), now.addSecs(-1));
    EXPECT_EQ(LookFrom(now.addSecs(-90), now), now.addSecs(-90));
    EXPECT_EQ(LookFrom(now.addDays(-30), now), now.addDays(-7));
}

TEST(ScheduleDue, LateStartsRecordWhatIsLeftOfTheirTime)
{
    const QDateTime start = BerlinAt(QDate(2026, 3, 2), 7, 0, 0);
    const auto after = [&](int ms) { return start.addMSecs(ms); };
    EXPECT_EQ(LengthToRecord(start, 10, after(0)), 10u);
    EXPECT_EQ(LengthToRecord(start, 10, after(2000)), 10u) << "two seconds late is on time";
    EXPECT_EQ(LengthToRecord(start, 10, after(2001)), 8u);
    EXPECT_EQ(LengthToRecord(start, 10, after(6300)), 4u) << "to the nearest second of its planned end";
    EXPECT_EQ(LengthToRecord(start, 10, after(9400)), 1u);
    EXPECT_EQ(LengthToRecord(start, 10, after(9600)), 0u) << "its end is still ahead";
    EXPECT_EQ(LengthToRecord(start, 10, after(10000)), std::nullopt);
    EXPECT_EQ(LengthToRecord(start, 3600, after(86400 * 1000)), std::nullopt);
    EXPECT_EQ(LengthToRecord(start, 0, after(300)), 0u);
    EXPECT_EQ(LengthToRecord(start, 0, after(2500)), std::nullopt);
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
