#include "fakes/ModalAnswers.h"
#include "framework/Form.h"
#include "framework/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace framework;

namespace {
void PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
} // namespace

TEST(FormMessages, PostedFromManyThreadsArriveInOrderPerThread)
{
    TForm form;
    std::vector<std::pair<uintptr_t, intptr_t>> received;
    form.OnMessage(WM_LEVEL, [&](TMessage& m) { received.emplace_back(m.WParam, m.LParam); });
    constexpr int Threads = 4;
    constexpr int PerThread = 2000;
    std::vector<std::thread> posters;
    for (int t = 0; t < Threads; ++t)
        posters.emplace_back([&form, t] {
            for (int i = 0; i < PerThread; ++i)
                form.PostMessage(WM_LEVEL, static_cast<uintptr_t>(t), i);
        });
    for (auto& poster : posters)
        poster.join();
    PumpUntil([&] { return received.size() == Threads * PerThread; });
    ASSERT_EQ(received.size(), static_cast<size_t>(Threads * PerThread));
    std::vector<intptr_t> next(Threads, 0);
    for (const auto& [thread, index] : received)
        ASSERT_EQ(index, next[thread]++) << "thread " << thread;
}

TEST(FormMessages, UnhandledNumbersAreIgnoredAndOrderIsFifo)
{
    TForm form;
    std::vector<uint32_t> seen;
    form.OnMessage(WM_USER + 10, [&](TMessage& m) { seen.push_back(m.Msg); });
    form.OnMessage(WM_LEVEL, [&](TMessage& m) { seen.push_back(m.Msg); });
    form.PostMessage(WM_LEVEL, 0, 0);
    form.PostMessage(MM_WOM_DONE, 0, 0); // no handler: dropped
    form.PostMessage(WM_USER + 10, 0, 0);
    PumpUntil([&] { return seen.size() == 2; });
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_LEVEL, WM_USER + 10}));

    // A handler that runs an event loop of its own (a dialog) while more arrive: what was
    // posted before them is still handled first, each message once.
    seen.clear();
    form.OnMessage(WM_USER + 11, [&](TMessage& m) {
        seen.push_back(m.Msg);
        form.PostMessage(WM_USER + 10, 0, 0);
        PumpUntil([&] { return seen.size() == 3; }, 1000);
    });
    form.PostMessage(WM_USER + 11, 0, 0);
    form.PostMessage(WM_LEVEL, 0, 0);
    PumpUntil([&] { return seen.size() == 3; });
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<uint32_t>{WM_USER + 11, WM_LEVEL, WM_USER + 10}));
}

TEST(HandlerGuard, ExceptionsEndInTheErrorBoxAndTheLoopGoesOn)
{
    fakes::ModalAnswers answers;
    TForm form;
    int after = 0;
    form.OnMessage(WM_USER + 1, [](TMessage&) { throw std::runtime_error("Cannot open file x.wav"); });
    form.OnMessage(WM_USER + 2, [&](TMessage&) { ++after; });
    form.PostMessage(WM_USER + 1, 0, 0);
    form.PostMessage(WM_USER + 2, 0, 0);
    PumpUntil([&] { return after == 1; });
    EXPECT_EQ(after, 1);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[0].text, "Cannot open file x.wav");
    EXPECT_EQ(answers.Seen()[0].flags, MB_OK | MB_ICONERROR);
}

TEST(FormClose, CloseQueryCanRefuseAndCloseRunsOnce)
{
    fakes::ModalAnswers answers;
    TForm form;
    bool allow = false;
    int closed = 0;
    form.OnCloseQuery = [&](bool& canClose) { canClose = allow; };
    form.OnClose = [&] { ++closed; };
    form.show();
    form.Close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(closed, 0);
    allow = true;
    form.Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(closed, 1);

    // A close handler that throws is reported, and the window still closes.
    form.show();
    form.OnClose = [] { throw std::runtime_error("Unable to write to /x/set.ini"); };
    form.Close();
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "Unable to write to /x/set.ini");
}

TEST(FormModal, ShowModalGoesThroughTheHook)
{
    fakes::ModalAnswers answers({3, {}});
    TForm dialog;
    dialog.setWindowTitle("File Exists");
    EXPECT_EQ(dialog.ShowModal(), 3);
    EXPECT_EQ(dialog.ModalResult(), 3);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::ShowModal);
    EXPECT_EQ(answers.Seen()[0].form, &dialog);
    EXPECT_EQ(answers.Seen()[0].text, "File Exists");
}

TEST(FormModal, RealModalLoopEndsOnModalResult)
{
    SetInteractionHook({}); // the real loop, ended by the form itself
    TForm dialog;
    QTimer::singleShot(10, &dialog, [&] { dialog.SetModalResult(7); });
    EXPECT_EQ(dialog.ShowModal(), 7);
    EXPECT_FALSE(dialog.isVisible());
    fakes::InstallUnexpectedModalHook();
}

TEST(Timer, FiresWhileEnabledAndStopsWhenDisabled)
{
    fakes::ModalAnswers answers;
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 2)
            throw std::runtime_error("tick failed");
    };
    timer.SetInterval(5);
    PumpUntil([&] { return ticks >= 3; });
    EXPECT_GE(ticks, 3) << "a throwing tick does not stop the timer";
    EXPECT_EQ(answers.Seen().size(), 1u);
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(ticks, stopped);
    timer.Tick();
    EXPECT_EQ(ticks, stopped + 1);
}
