#include "fakes/TempFolder.h"
#include "fakes/TestSignal.h"
#include "framework/Form.h"
#include "recording/RecordIO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

TEST(RecordIO, BindsTheEngineAndPostsLevelsToTheWindow)
{
    fakes::TempFolder folder;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const auto input = folder.File("input.raw");
    fakes::WriteRawPcm(input, fakes::MakeSine(44100, 1, 5, 440, 0.25, 0));
    setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);

    BindRecordEngine();
    ASSERT_TRUE(RecordIO.StartRecord && RecordIO.PauseRecord && RecordIO.ResumeRecord && RecordIO.StopRecord
        && RecordIO.EnumWMAFormat);
    framework::TForm window;
    std::vector<std::pair<uintptr_t, intptr_t>> levels;
    window.OnMessage(framework::WM_LEVEL, [&](framework::TMessage& m) { levels.emplace_back(m.WParam, m.LParam); });
    SetLevelTarget(&window);

    const StartRecordParams params{0, 44100, 1, 2000, 16, 0};
    ASSERT_TRUE(RecordIO.StartRecord(&params, folder.File("44100-1-16.wav").c_str(), 0, 0, 0));
    QElapsedTimer timer;
    timer.start();
    while (levels.size() < 20 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    RecordIO.StopRecord();
    SetLevelTarget(nullptr);
    QCoreApplication::processEvents();

    ASSERT_GE(levels.size(), 20u);
    for (size_t i = 2; i < levels.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(levels[i].first), 8192, 82) << "left, block " << i;
        EXPECT_EQ(static_cast<intptr_t>(levels[i].first), levels[i].second) << "mono: the same value twice";
    }
}
