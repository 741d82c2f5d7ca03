// The meters and the automatic pause with the real recording library: SDL's disk driver plays
// a tone that steps down to silence and comes back, and the window follows it.
#include "fakes/DiskCapture.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "recording/Meters.h"
#include "playback/mp3io.h"
#include "recording/RecordIO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
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
    win->Session->State.TargetFile = capture.folder.File("steps.wav");
    win->tbRecordClick();
    ASSERT_TRUE(win->Session->State.Recording);

    std::vector<Seen> seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const Seen now{win->lbleftdb->Caption(), win->lbStatus->Caption(), win->Meters->State.LeftBar};
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

TEST(MetersEndToEnd, LeftAndRightStayApart)
{
    // -6 dB on the left, -26 dB on the right: a swap or a mix anywhere shows.
    std::vector<int16_t> input = Stretch(20, 0.5);
    for (size_t i = 1; i < input.size(); i += 2)
        input[i] = static_cast<int16_t>(input[i] / 10);

    // Capture through the real library into the meters.
    {
        fakes::DiskCapture capture(input);
        fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
        platform::SetTickSource({});
        SetLevelTarget(win.w.get());
        win->Session->State.TargetFile = capture.folder.File("apart.wav");
        win->tbRecordClick();
        ASSERT_TRUE(win->Session->State.Recording);
        fakes::PumpEvents(1500);
        EXPECT_EQ(win->lbleftdb->Caption(), "L:-6db");
        EXPECT_EQ(win->lbrightdb->Caption(), "R:-26db");
        EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:-6db");
        EXPECT_EQ(win->lbMaxR->Caption(), "MaxR:-26db");
        EXPECT_GT(win->Meters->State.LeftBar, win->Meters->State.RightBar);
        win->btnStopClick();
        SetLevelTarget(nullptr);
    }

    // Reading a file posts each block's mean level per channel: 2/pi of the peak.
    fakes::TempFolder folder;
    const std::string path = folder.File("44100-2-apart.wav");
    fakes::WriteWav(path, 44100, 2, std::vector<int16_t>(input.begin(), input.begin() + 44100 * 2));
    framework::TForm form;
    std::vector<std::pair<uintptr_t, intptr_t>> levels;
    form.OnMessage(framework::WM_LEVEL, [&](framework::TMessage& m) { levels.emplace_back(m.WParam, m.LParam); });
    SetReaderLevelTarget(&form);
    AudioFileInfo info{};
    ASSERT_TRUE(DescribeAudioFile(path, info));
    ASSERT_TRUE(OpenAudioReader(path, info, 0));
    const uint8_t* block = nullptr;
    uint32_t size = 0;
    while (ReadAudioBlock(info, block, size) && size > 0) {
    }
    CloseAudioReader(info);
    SetReaderLevelTarget(nullptr);
    fakes::PumpEvents(100, [&] { return !levels.empty(); });
    QCoreApplication::processEvents();
    ASSERT_GT(levels.size(), 2u);
    for (size_t i = 0; i + 1 < levels.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(levels[i].first), 0.5 * 32767 * 2 / M_PI, 200) << "block " << i;
        EXPECT_NEAR(static_cast<double>(levels[i].second), 0.05 * 32767 * 2 / M_PI, 60) << "block " << i;
    }
}
