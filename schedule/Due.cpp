#include "Due.h"

#include "settings/CommFunc.h"
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

QueueMoment QueueMomentAt(const QDateTime& now, const QLocale& locale)
{
    const QDate date = now.date();
    const QTime time = now.time();
    QueueMoment moment;
    moment.DateText = ShortDateText(date, locale);
    moment.NowText = TimeText(time.hour(), time.minute(), time.second());
    moment.NextText = TimeText(time.hour(), time.minute(), time.second() + 1);
    moment.DayName = EnglishDayName(date.dayOfWeek());
    return moment;
}

bool DueNow(const QueueEntry& entry, const QueueMoment& moment)
{
    const bool today = entry.Date == "Everyday" || entry.Date == moment.DateText || entry.Date == moment.DayName;
    return today && entry.StartTime >= moment.NowText && entry.StartTime <= moment.NextText;
}

bool SameEntry(const QueueEntry& a, const QueueEntry& b)
{
    return a.Date == b.Date && a.StartTime == b.StartTime && a.LengthTime == b.LengthTime &&
        a.TargetFile == b.TargetFile;
}

bool RefusalStands(const QueueEntry& refused, const std::string& refusedDate, const QueueMoment& moment)
{
    return !refusedDate.empty() && refusedDate == moment.DateText && DueNow(refused, moment);
}

void ForgetPastRefusals(std::vector<QueueEntry>& refused, std::string& refusedDate, const QueueMoment& moment)
{
    std::erase_if(refused, [&](const QueueEntry& entry) { return !RefusalStands(entry, refusedDate, moment); });
    if (refused.empty())
        refusedDate.clear();
}

std::vector<size_t> DueEntries(const std::vector<QueueEntry>& entries, const QueueMoment& moment,
    const std::vector<QueueEntry>& refused, const std::string& refusedDate)
{
    const auto refusedNow = [&](const QueueEntry& entry) {
        return std::any_of(refused.begin(), refused.end(), [&](const QueueEntry& r) {
            return SameEntry(entry, r) && RefusalStands(r, refusedDate, moment);
        });
    };
    std::vector<size_t> due;
    for (size_t i = 0; i < entries.size(); ++i)
        if (DueNow(entries[i], moment) && !refusedNow(entries[i]))
            due.push_back(i);
    return due;
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
