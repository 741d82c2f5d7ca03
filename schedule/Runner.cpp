// The schedule runner: once a second, a queue entry that is due starts a recording.
#include "Runner.h"

#include "Due.h"
#include "framework/Application.h"
#include "framework/FlagWhile.h"
#include "framework/RecorderView.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "playback/Playback.h"
#include "recording/Naming.h"
#include "recording/Session.h"
#include "settings/CommFunc.h"

#include <exception>

TScheduleRunner::TScheduleRunner(RecordingQueue& queue, RecorderSettings& settings, TRecordingSession& session,
    TPlayback& playback, RecorderView& view)
    : queue_(queue), settings_(settings), session_(session), playback_(playback), view_(view)
{
}

void TScheduleRunner::Check()
{
    const QDateTime now = platform::LocalNow();
    // Every look begins where the last one ended (a second back at the first, or once the clock
    // has been set back), whether or not this one can start anything.
    LastLook = LookFrom(LastLook, now);
    if (session_.State.Recording || playback_.State.Playing || Halted)
        return;
    if (queue_.Disable) {
        LastLook = now;
        return;
    }
    // A message box of a check runs its own loop, in which this timer goes on ticking.
    if (QueueCheckRunning)
        return;
    const framework::FlagWhile running(QueueCheckRunning);
    try {
        StartDueEntry(now);
    } catch (const std::exception& e) {
        // Shown here rather than by the handler guard, so that the box is still part of the check.
        framework::Application().ShowException(e.what());
    }
}

void TScheduleRunner::StartDueEntry(const QDateTime& now)
{
    // Until every due start has been dealt with, the next look begins where this one does.
    const QDateTime since = LastLook;
    ForgetTakenBefore(TakenStarts, since.toTimeZone(now.timeZone()).date().addDays(-2));

    for (const DueStart& due : DueStarts(queue_.Entries, since, now, QLocale::system(), TakenStarts)) {
        // Something began recording while a refusal's box was open.
        if (session_.State.Recording || due.Index >= queue_.Entries.size())
            return;
        const QueueEntry entry = queue_.Entries[due.Index];
        // Tried once that day, whatever comes of it: a box of its error is not shown again.
        TakenStarts.push_back({entry, due.Day});
        const TimeParts length = ParseTimeText(entry.LengthTime);
        // A box may have kept this check a while: the length left is reckoned from the start.
        const std::optional<uint32_t> seconds = LengthToRecord(
            due.Start, length.Hours * 3600u + length.Minutes * 60u + length.Seconds, platform::LocalNow());
        if (!seconds)
            continue; // its planned end has passed
        session_.State.QueueLength = *seconds;

        const QueueTarget target = ChooseQueueTarget(entry.TargetFile);
        RecordingFormat format = settings_.Format;
        format.RecordType = target.RecordType;
        format.UseWma = target.UseWma;
        // The entry's format is its own recording's: the user's settings stay as they are.
        std::string file;
        try {
            // The automatic name takes the entry's format, so that its extension fits.
            file = target.AutoName ? MakeAutoFileName(settings_.AutoName, format, platform::LocalNow())
                                   : target.TargetFile;
            if (!file.empty())
                platform::ForceDirectories(platform::ExtractFileDir(file));
        } catch (const std::exception&) {
            if (!file.empty()) {
                // The label names the target whose folder failed; its hint stays.
                session_.State.TargetFile = file;
                view_.ShowFileCaption(file);
            }
            throw;
        }
        if (file.empty()) {
            session_.State.TargetFile.clear();
            continue;
        }

        // A queued start never continues an existing file and asks nothing about it.
        if (!session_.StartRecording({file, format, true})) {
            // Its error box has been shown; the window stays idle with the user's own target
            // and format, and the following due starts are tried now.
            continue;
        }
        return;
    }
    LastLook = now;
}
