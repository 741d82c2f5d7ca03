// The meters and the automatic pause with the real recording library: SDL's disk driver plays
// a tone that steps down to silence and comes back, and the window follows it.
#include "fakes/DiskCapture.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "recording/Meters.h"
#include "recording/RecordIO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

std::vector<int16_t> Stretch(double seconds, double amplitude)
{
    return fakes::MakeSine(44100, 2, seconds, 1000, amplitude);
}

struct Seen {
    std::string label;  // "L:" label
    std::string status; // status line
    int32_t bar;        // the left bar's column
};

} // namespace

TEST(MetersEndToEnd, FollowTheInputAndPauseOnSilence)
{
    // 2 s at -6 dB, 2 s at -20 dB, 4 s of silence, then -6 dB again.
    std::vector<int16_t> input;
    for (const auto& [seconds, amplitude] : {std::pair{2.0, 0.5}, {2.0, 0.1}, {4.0, 0.0}, {12.0, 0.5}}) {
        const auto part = Stretch(seconds, amplitude);
        input.insert(input.end(), part.begin(), part.end());
    }
    fakes::DiskCapture capture(input);

    fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n"
                          "[AutoPause]\nEnable=1\nLowerLevel=5\nLowerTime=2\nLouderLevel=5\n");
    platform::SetTickSource({}); // real time: the engine runs in it
    SetLevelTarget(win.w.get());
    win->State.TargetFile = capture.folder.File("steps.wav");
    win->tbRecordClick();
    ASSERT_TRUE(win->State.Recording);

    std::vector<Seen> seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const Seen now{win->lbleftdb->Caption(), win->lbStatus->Caption(), win->Meters.LeftBar};
        if (seen.empty() || now.label != seen.back().label || now.status != seen.back().status)
            seen.push_back(now);
    }
    const std::string maxLeft = win->lbMaxL->Caption();
    win->btnStopClick();
    SetLevelTarget(nullptr);

    // The steps in their order: -6 dB, -20 dB, silence and the automatic pause, the resume.
    const auto find = [&](size_t from, const std::function<bool(const Seen&)>& what) {
        for (size_t i = from; i < seen.size(); ++i)
            if (what(seen[i]))
                return i;
        return seen.size();
    };
    std::string timeline;
    for (const Seen& s : seen)
        timeline += s.label + " | " + s.status + " | " + std::to_string(s.bar) + "\n";
    const size_t loud = find(0, [](const Seen& s) { return s.label == "L:-6db"; });
    ASSERT_LT(loud, seen.size()) << timeline;
    EXPECT_EQ(seen[loud].bar, 64) << timeline;
    const size_t softer = find(loud, [](const Seen& s) { return s.label == "L:-20db"; });
    ASSERT_LT(softer, seen.size()) << timeline;
    const size_t silent = find(softer, [](const Seen& s) { return s.label == "L:-76db"; });
    ASSERT_LT(silent, seen.size()) << timeline;
    const size_t paused = find(silent, [](const Seen& s) { return s.status == "Auto Paused ..."; });
    ASSERT_LT(paused, seen.size()) << timeline;
    const size_t resumed = find(paused, [](const Seen& s) { return s.status.rfind("Recording ", 0) == 0; });
    ASSERT_LT(resumed, seen.size()) << timeline;
    EXPECT_EQ(maxLeft, "MaxL:-6db");
}
