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
    if (session_.State.Recording || playback_.State.Playing || queue_.Disable || Halted)
        return;
    // A message box of a check runs its own loop, in which this timer goes on ticking.
    if (QueueCheckRunning)
        return;
    const framework::FlagWhile running(QueueCheckRunning);
    try {
        StartDueEntry();
    } catch (const std::exception& e) {
        // Shown here rather than by the handler guard, so that the box is still part of the check.
        framework::Application().ShowException(e.what());
    }
}

void TScheduleRunner::StartDueEntry()
{
    const QueueMoment moment = QueueMomentAt(platform::LocalNow(), QLocale::system());
    ForgetPastRefusals(QueueRefusedEntries, QueueRefusedDate, moment);

    for (const size_t index : DueEntries(queue_.Entries, moment, QueueRefusedEntries, QueueRefusedDate)) {
        // Something began recording while a refusal's box was open.
        if (session_.State.Recording || index >= queue_.Entries.size())
            return;
        const QueueEntry entry = queue_.Entries[index];
        const TimeParts length = ParseTimeText(entry.LengthTime);
        session_.State.QueueLength = length.Hours * 3600u + length.Minutes * 60u + length.Seconds;

        const QueueTarget target = ChooseQueueTarget(entry.TargetFile);
        RecordingFormat format = settings_.Format;
        format.RecordType = target.RecordType;
        format.UseWma = target.UseWma;
        // The entry's format becomes the settings' once it records; so does the target. Where
        // nothing can be recorded (no name, no folder), both stay chosen as the entry says.
        const auto keepEntryFormat = [&] {
            settings_.Format.RecordType = format.RecordType;
            settings_.Format.UseWma = format.UseWma;
        };
        std::string file;
        try {
            // The automatic name takes the entry's format, so that its extension fits.
            file = target.AutoName ? MakeAutoFileName(settings_.AutoName, format, platform::LocalNow())
                                   : target.TargetFile;
            if (!file.empty())
                platform::ForceDirectories(platform::ExtractFileDir(file));
        } catch (const std::exception&) {
            keepEntryFormat();
            if (!file.empty()) {
                // The label names the target whose folder failed; its hint stays.
                session_.State.TargetFile = file;
                view_.ShowFileCaption(file);
            }
            throw;
        }
        if (file.empty()) {
            keepEntryFormat();
            session_.State.TargetFile.clear();
            continue;
        }

        // A queued start never continues an existing file and asks nothing about it.
        if (!session_.StartRecording({file, format, true})) {
            // Its error box has been shown; the window stays idle with the user's own target
            // and format, this entry is left alone for the rest of its window, and the
            // following due entries are tried now (one due for a single second would
            // otherwise never start).
            QueueRefusedEntries.push_back(entry);
            QueueRefusedDate = moment.DateText;
            continue;
        }
        keepEntryFormat();
        return;
    }
}
