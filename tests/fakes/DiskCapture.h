#pragma once
// The real recording library in the program's slots while alive, capturing SDL's disk-driver
// input in real time: the input is written as raw 16-bit samples and the driver pointed at
// it. The slots the test had come back when it goes.
#include "TempFolder.h"
#include "recording/RecordIO.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace fakes {

class DiskCapture {
public:
    explicit DiskCapture(const std::vector<int16_t>& interleaved);
    ~DiskCapture();
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    TempFolder folder; // holds the input; tests may record into it too

private:
    RecordOperations saved_;
};

// Runs the message loop, the window's timers included, for ms milliseconds or until the
// condition holds.
void PumpEvents(int ms, const std::function<bool()>& until = {});

} // namespace fakes
