// The schedule runner: once a second, a queue entry that is due starts a recording.
#include "app/Kestrune.h"
#include "framework/Application.h"
#include "framework/FlagWhile.h"
#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "schedule/CommFunc.h"
#include "schedule/Due.h"

#include <exception>

namespace {

// Goes through the due entries in list order until one starts; a refused one does not stop
// the others. Throws the conversion error
// of a bad length and "Unable to create directory" of a target whose folder cannot be made;
// whatever was set before stays.
void StartDueEntry(TKestrune& w)
{
    const QueueMoment moment = QueueMomentAt(platform::LocalNow(), QLocale::system());
    ForgetPastRefusals(w.QueueRefusedEntries, w.QueueRefusedDate, moment);

    for (const size_t index : DueEntries(w.Queue.Entries, moment, w.QueueRefusedEntries, w.QueueRefusedDate)) {
        // Something began recording while a refusal's box was open.
        if (w.State.Recording || index >= w.Queue.Entries.size())
            return;
        const QueueEntry entry = w.Queue.Entries[index];
        const TimeParts length = ParseTimeText(entry.LengthTime);
        w.State.QueueLength = length.Hours * 3600u + length.Minutes * 60u + length.Seconds;

        // What the user had chosen, for a start the engine refuses.
        const std::string userTarget = w.State.TargetFile;
        const std::string userCaption = w.lbFileName->Caption();
        const std::string userHint = w.lbFileName->Hint();
        const int32_t userRecordType = w.Settings.Format.RecordType;
        const bool userUseWma = w.Settings.Format.UseWma;

        const QueueTarget target = ChooseQueueTarget(entry.TargetFile);
        w.Settings.Format.RecordType = target.RecordType;
        w.Settings.Format.UseWma = target.UseWma;
        w.State.TargetFile = target.AutoName ? w.MakeAutoFileName() : target.TargetFile;
        if (w.State.TargetFile.empty())
            continue;

        w.lbFileName->SetCaption(w.ShortFileName(w.State.TargetFile));
        platform::ForceDirectories(platform::ExtractFileDir(w.State.TargetFile));
        w.lbFileName->SetHint(w.State.TargetFile);
        w.State.QueueRecordingFlag = true;
        // A queued start never continues an existing file and asks nothing about it.
        w.State.AppendMode = 0;
        w.State.StartPosMs = 0;
        if (!w.StartRecording()) {
            // Its error box has been shown; the window stays idle with the user's own target
            // and format, this entry is left alone for the rest of its window, and the
            // following due entries are tried now (one due for a single second would
            // otherwise never start).
            w.State.QueueRecordingFlag = false;
            w.QueueRefusedEntries.push_back(entry);
            w.QueueRefusedDate = moment.DateText;
            w.State.TargetFile = userTarget;
            w.lbFileName->SetCaption(userCaption);
            w.lbFileName->SetHint(userHint);
            w.Settings.Format.RecordType = userRecordType;
            w.Settings.Format.UseWma = userUseWma;
            continue;
        }
        w.ShowRecordingStatus();
        return;
    }
}

} // namespace

void TKestrune::tmQueueTimer()
{
    // Nothing new starts while the program ends on a signal.
    if (State.Recording || State.Playing || Queue.Disable || QuittingOnSignal)
        return;
    // A message box of a check runs its own loop, in which this timer goes on ticking.
    if (QueueCheckRunning)
        return;
    const framework::FlagWhile running(QueueCheckRunning);
    try {
        StartDueEntry(*this);
    } catch (const std::exception& e) {
        // Shown here rather than by the handler guard, so that the box is still part of the check.
        framework::Application().ShowException(e.what());
    }
}
