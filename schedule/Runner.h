#pragma once
// The schedule runner: once a second, and at the end of every stop, a queue entry that is due
// starts a recording through the session.
#include "Due.h"
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <QDateTime>
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
    // While the queue is disabled, time passes as looked at: nothing due then starts later.
    void Check();

    // Nothing new starts: the program is ending on a signal.
    bool Halted = false;
    // A check is under way: a message box it shows lets the timer tick, and those ticks do nothing.
    bool QueueCheckRunning = false;
    // Where the last look through the entries ended (invalid before the first); the next look
    // takes the starts after it. It stays put while a recording or playback holds the queue
    // back, so that what fell due meanwhile starts late if its planned end is still ahead.
    QDateTime LastLook;
    // The starts already dealt with, each on its day: none starts or shows its error twice.
    std::vector<TakenStart> TakenStarts;

private:
    // Goes through the due starts in order until one starts; a refused or skipped one does
    // not stop the others. Throws the conversion error of a bad length and "Unable to create
    // directory" of a target whose folder cannot be made.
    void StartDueEntry(const QDateTime& now);

    RecordingQueue& queue_;
    RecorderSettings& settings_;
    TRecordingSession& session_;
    TPlayback& playback_;
    RecorderView& view_;
};
