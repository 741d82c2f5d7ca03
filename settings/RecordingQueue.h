#pragma once
// The schedule of timed recordings: one list for the whole program, created before the main
// window and kept until exit. Entries hold their four texts exactly as stored.
#include <string>
#include <vector>

struct QueueEntry {
    std::string Date;       // "Everyday", an English weekday name, or a short-format date
    std::string StartTime;  // time text "hh : mm : ss"
    std::string LengthTime; // time text
    std::string TargetFile; // a full path, or "Use Auto Name Record " + WAV/MP3/WMA
};

struct RecordingQueue {
    std::vector<QueueEntry> Entries; // in index order, the order the runner tests them
    bool Disable = false;            // switches the runner off
};
