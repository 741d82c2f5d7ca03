#include "Due.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

void SetFormat(QueueTarget& target, const std::string& name)
{
    target.RecordType = name == "WAV" ? 0 : name == "MP3" ? 1 : 2;
    target.UseWma = target.RecordType == 2;
}

} // namespace

std::string ShortDateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::ShortFormat).toStdString();
}

QDate ReadShortDate(const std::string& text, const QLocale& locale, const QDate& today)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QDate read = locale.toDate(QString::fromStdString(text), format);
    if (!read.isValid())
        throw platform::PlatformError("'" + text + "' is not a valid date");
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return read;
    // Qt reads "yy" as 19yy: the same two digits in the century nearest to today instead.
    const int earliest = today.year() - 50;
    const int year = earliest + ((read.year() - earliest) % 100 + 100) % 100;
    const QDate moved(year, read.month(), read.day());
    return moved.isValid() ? moved : read;
}

std::string EnglishDayName(int dayOfWeek)
{
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return {};
    return WeekDayNames[static_cast<size_t>(dayOfWeek - 1)];
}

QTime ReadStartTime(const std::string& text)
{
    if (text.size() != 12 || text.compare(2, 3, " : ") != 0 || text.compare(7, 3, " : ") != 0)
        return {};
    const auto twoDigits = [&](size_t at) {
        const auto digit = [&](size_t i) { return std::isdigit(static_cast<unsigned char>(text[i])) != 0; };
        return digit(at) && digit(at + 1) ? (text[at] - '0') * 10 + (text[at + 1] - '0') : -1;
    };
    return QTime(twoDigits(0), twoDigits(5), twoDigits(10));
}

bool FallsOn(const QueueEntry& entry, const QDate& day, const QLocale& locale)
{
    return entry.Date == "Everyday" || entry.Date == ShortDateText(day, locale) ||
        entry.Date == EnglishDayName(day.dayOfWeek());
}

QDateTime StartInstant(const QDate& day, const QTime& time, const QTimeZone& zone)
{
    // Between two changes of the clock it reads the instant plus one offset, so within each
    // stretch the start is read first at max(stretch's beginning, start - offset). The first
    // stretch that reaches it holds the answer; two days either side cover any change near it.
    const qint64 reading = QDateTime(day, time, Qt::UTC).toMSecsSinceEpoch();
    constexpr qint64 twoDaysMs = 2 * 86400 * 1000LL;
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(reading - twoDaysMs, Qt::UTC);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(reading + twoDaysMs, Qt::UTC);
    qint64 stretchBegins = from.toMSecsSinceEpoch();
    int offsetSeconds = zone.offsetFromUtc(from);
    const auto firstReading = [&] { return std::max(stretchBegins, reading - offsetSeconds * 1000LL); };
    for (const QTimeZone::OffsetData& change : zone.transitions(from, to)) {
        const qint64 changeAt = change.atUtc.toMSecsSinceEpoch();
        if (firstReading() < changeAt)
            break;
        stretchBegins = changeAt;
        offsetSeconds = change.offsetFromUtc;
    }
    return QDateTime::fromMSecsSinceEpoch(firstReading(), zone);
}

bool SameEntry(const QueueEntry& a, const QueueEntry& b)
{
    return a.Date == b.Date && a.StartTime == b.StartTime && a.LengthTime == b.LengthTime &&
        a.TargetFile == b.TargetFile;
}

void ForgetTakenBefore(std::vector<TakenStart>& taken, const QDate& day)
{
    std::erase_if(taken, [&](const TakenStart& t) { return t.Day < day; });
}

QDateTime LookFrom(const QDateTime& lastLook, const QDateTime& now)
{
    if (!lastLook.isValid() || lastLook >= now)
        return now.addSecs(-1);
    return std::max(lastLook, now.addDays(-7));
}

std::vector<DueStart> DueStarts(const std::vector<QueueEntry>& entries, const QDateTime& since,
    const QDateTime& now, const QLocale& locale, const std::vector<TakenStart>& taken)
{
    const QTimeZone zone = now.timeZone();
    const auto wasTaken = [&](const QueueEntry& entry, const QDate& day) {
        return std::any_of(taken.begin(), taken.end(),
            [&](const TakenStart& t) { return t.Day == day && SameEntry(t.Entry, entry); });
    };
    std::vector<DueStart> due;
    // A day earlier than since's date too: a change of the clock at midnight can blur the two.
    for (QDate day = since.toTimeZone(zone).date().addDays(-1); day <= now.date(); day = day.addDays(1)) {
        for (size_t i = 0; i < entries.size(); ++i) {
            const QTime time = ReadStartTime(entries[i].StartTime);
            if (!time.isValid() || !FallsOn(entries[i], day, locale) || wasTaken(entries[i], day))
                continue;
            const QDateTime start = StartInstant(day, time, zone);
            if (since < start && start <= now)
                due.push_back({i, day, start});
        }
    }
    return due;
}

std::optional<uint32_t> LengthToRecord(const QDateTime& start, uint32_t length, const QDateTime& now)
{
    const qint64 lateMs = start.msecsTo(now);
    if (lateMs <= 2000)
        return length;
    const qint64 leftMs = length * 1000LL - lateMs;
    if (leftMs <= 0)
        return std::nullopt;
    return static_cast<uint32_t>((leftMs + 500) / 1000);
}

QueueTarget ChooseQueueTarget(const std::string& entryTarget)
{
    QueueTarget target;
    if (entryTarget.compare(0, AutoNamePrefix.size(), AutoNamePrefix) == 0) {
        SetFormat(target, entryTarget.substr(AutoNamePrefix.size(), 3));
        target.AutoName = true;
        return target;
    }
    target.TargetFile = entryTarget;
    const std::string extension = platform::UpperFileExtension(entryTarget);
    SetFormat(target, extension.empty() ? std::string() : extension.substr(1));
    return target;
}
