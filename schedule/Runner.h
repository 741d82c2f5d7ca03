#pragma once
// The schedule runner: once a second, and at the end of every stop, a queue entry that is due
// starts a recording through the session.
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <string>
#include <vector>

class RecorderView;
class TPlayback;
class TRecordingSession;

// Owned by the main window; window thread only.
class TScheduleRunner {
public:
    TScheduleRunner(RecordingQueue& queue, RecorderSettings& settings, TRecordingSession& session,
        TPlayback& playback, RecorderView& view);

    // The due check: starts the first due entry that the engine takes, while nothing records
    // or plays and the queue is enabled. A box it shows (an error of an entry) is part of it.
    void Check();

    // Nothing new starts: the program is ending on a signal.
    bool Halted = false;
    // A check is under way: a message box it shows lets the timer tick, and those ticks do nothing.
    bool QueueCheckRunning = false;
    // Entries whose start the engine refused, on the day of the date text (empty: none); they
    // are not tried again while they stay due that day.
    std::vector<QueueEntry> QueueRefusedEntries;
    std::string QueueRefusedDate;

private:
    // Goes through the due entries in list order until one starts; a refused one does not
    // stop the others. Throws the conversion error of a bad length and "Unable to create
    // directory" of a target whose folder cannot be made.
    void StartDueEntry();

    RecordingQueue& queue_;
    RecorderSettings& settings_;
    TRecordingSession& session_;
    TPlayback& playback_;
    RecorderView& view_;
};
