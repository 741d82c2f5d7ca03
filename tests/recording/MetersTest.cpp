// The level meters: the dB and bar rules, the meter pictures, WM_LEVEL on the window, the
// automatic pause, resume and stop.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "framework/RepaintPacer.h"
#include "recording/FileExists.h"
#include "recording/Meters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QDeadlineTimer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QColor Rgb(uint32_t colorRef)
{
    return ColorRefToColor(colorRef);
}

// The colour of a column's first cell, and of the gap to its right.
QColor Cell(const QImage& meter, int column, int row = 0)
{
    return meter.pixelColor(3 * column, 3 * row + 1);
}

class Meters : public testing::Test {
protected:
    Meters()
    {
        win->Settings.Format.UseWma = false;
        win->Settings.Format.RecordType = 0;
    }
    void Level(uintptr_t left, intptr_t right)
    {
        framework::TMessage m;
        m.Msg = framework::WM_LEVEL;
        m.WParam = left;
        m.LParam = right;
        win->WMLevel(m);
    }
    // A level message a given number of milliseconds after the previous one.
    void LevelAfter(uint32_t ms, uintptr_t left, intptr_t right = 0)
    {
        win.tick += ms;
        Level(left, right);
    }
    void Record()
    {
        win->Session->State.TargetFile = win.folder.File("take.wav");
        win->tbRecordClick();
        ASSERT_TRUE(win->Session->State.Recording);
    }
    // How many columns of a meter image are lit (first cell differs from the unlit one).
    int LitColumns(framework::TImage* meter)
    {
        const QImage unlit = MakeUnlitMeter();
        int lit = 0;
        for (int j = 0; j < MeterColumns - 1; ++j) // the last column lies past the edge
            lit += Cell(meter->Picture(), j) != Cell(unlit, j);
        return lit;
    }

    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
};

} // namespace

TEST(MeterRules, DecibelsBarsAndPercent)
{
    const std::pair<int64_t, int32_t> db[] = {{0, -76}, {-5, -76}, {1, -90}, {2, -84}, {3, -81}, {4, -78},
        {32768, 0}, {18427, -5}, {16423, -6}, {16384, -6}, {3277, -20}};
    for (auto [value, expected] : db)
        EXPECT_EQ(LevelDb(value), expected) << value;

    EXPECT_EQ(NextBar(10, 0), 76) << "jumps up at once";
    EXPECT_EQ(NextBar(76, -76), 75) << "falls one column per message";
    EXPECT_EQ(NextBar(1, -76), 0);
    EXPECT_EQ(NextBar(0, -76), 0) << "a fallen bar stays at 0";
    EXPECT_EQ(NextBar(0, -38), 0);
    EXPECT_EQ(NextBar(40, 3), 76) << "never past the last column";

    EXPECT_EQ(LevelPercent(1638), 4u);
    EXPECT_EQ(LevelPercent(1639), 5u);
    EXPECT_EQ(LevelPercent(32768), 100u);
    EXPECT_TRUE(LoudLevel(-5));
    EXPECT_FALSE(LoudLevel(-6));
}

TEST(MeterPictures, CellByCell)
{
    EXPECT_EQ(Rgb(0x000060), QColor(0x60, 0, 0)) << "0x00BBGGRR";
    EXPECT_EQ(Rgb(0x088618), QColor(0x18, 0x86, 0x08));

    const QImage unlit = MakeUnlitMeter();
    ASSERT_EQ(unlit.size(), QSize(228, 7));
    const QColor background = Rgb(0x505050);
    // Column 76 lies at x = 228, just past the picture's right edge: it never shows.
    EXPECT_EQ(3 * 76, unlit.width());
    for (int column : {0, 65, 66, 75}) {
        const QColor expected = column < 66 ? Rgb(0x323232) : Rgb(0x000060);
        for (int row : {0, 1})
            for (int dx : {0, 1})
                for (int dy : {0, 1})
                    EXPECT_EQ(unlit.pixelColor(3 * column + dx, 3 * row + 1 + dy), expected) << "column " << column;
        EXPECT_EQ(unlit.pixelColor(3 * column + 2, 1), background) << "gap right of " << column;
        EXPECT_EQ(unlit.pixelColor(3 * column, 0), background) << "top row";
        EXPECT_EQ(unlit.pixelColor(3 * column, 3), background) << "between the rows";
        EXPECT_EQ(unlit.pixelColor(3 * column, 6), background) << "bottom row";
    }

    const QImage lit = MakeLitMeter(unlit);
    const std::pair<int, uint32_t> litCells[] = {{0, 0x088618}, {65, 0x0879C6}, {66, 0x0879C6}, {75, 0x0065D6},
        {3, 0x088618}, {4, 0x009629}};
    for (auto [column, colour] : litCells) {
        EXPECT_EQ(Cell(lit, column, 0), Rgb(colour)) << "column " << column;
        EXPECT_EQ(lit.pixelColor(3 * column + 1, 5), Rgb(colour)) << "column " << column << ", lower cell";
    }
    EXPECT_EQ(lit.pixelColor(2, 1), background) << "the gaps stay the unlit background";
}

TEST_F(Meters, DrawMeterBarLightsColumnsZeroToC)
{
    for (int c : {0, 1, 40, 75, 76}) {
        win->Meters->ClearMeterSurface();
        win->Meters->DrawMeterBar(c);
        const QImage& surface = win->Meters->State.WorkSurface;
        if (c < 76) {
            EXPECT_EQ(Cell(surface, c), Cell(win->Meters->State.Lit, c)) << c;
        }
        EXPECT_EQ(Cell(surface, 0), Cell(win->Meters->State.Lit, 0)) << c;
        if (c < 75) {
            EXPECT_EQ(Cell(surface, c + 1), Cell(win->Meters->State.Unlit, c + 1)) << c;
            EXPECT_EQ(surface.pixelColor(3 * c + 2, 1), Rgb(0x505050)) << "the strip ends after the cell";
        }
    }
    // The meters start empty.
    EXPECT_EQ(LitColumns(win->imleft), 0);
    EXPECT_EQ(win->imright->Picture().size(), QSize(228, 7));
}

TEST_F(Meters, LevelsShowInBarsAndLabels)
{
    Level(32768, 32768);
    EXPECT_EQ(win->lbleftdb->Caption(), "L:0db") << "nothing while neither recording nor playing";
    EXPECT_EQ(win->Meters->State.LeftBar, 0);

    Record();
    LevelAfter(300, 32768, 32768);
    EXPECT_EQ(win->lbleftdb->Caption(), "L:0db");
    EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:0db");
    EXPECT_EQ(win->lbleftdb->FontColor(), QColor(Qt::red));
    EXPECT_EQ(win->lbMaxR->FontColor(), QColor(Qt::red));
    EXPECT_EQ(LitColumns(win->imleft), 76) << "every column that shows";
    EXPECT_EQ(LitColumns(win->imright), 76);
    EXPECT_EQ(win->Meters->State.LeftBar, 76);

    // 0 dB counts as no maximum: a lower level replaces it. The "L:" label waits 200 ms.
    LevelAfter(50, 16423, 18427);
    EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:-6db");
    EXPECT_EQ(win->lbMaxL->FontColor(), QColor(Qt::black));
    EXPECT_EQ(win->lbMaxR->Caption(), "MaxR:-5db");
    EXPECT_EQ(win->lbMaxR->FontColor(), QColor(Qt::red));
    EXPECT_EQ(win->lbleftdb->Caption(), "L:0db") << "not yet due";
    EXPECT_EQ(win->Meters->State.LeftBar, 75) << "the bar falls one column";
    LevelAfter(200, 16423, 18427);
    EXPECT_EQ(win->lbleftdb->Caption(), "L:-6db");
    EXPECT_EQ(win->lbleftdb->FontColor(), QColor(Qt::black));
    EXPECT_EQ(win->lbrightdb->Caption(), "R:-5db");
    EXPECT_EQ(win->lbrightdb->FontColor(), QColor(Qt::red));

    // Silence: -76 in the label, the bar falls towards 0, the maximum stays.
    LevelAfter(200, 0, 0);
    EXPECT_EQ(win->lbleftdb->Caption(), "L:-76db");
    EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:-6db");
    const int before = win->Meters->State.LeftBar;
    for (int i = 0; i < 10; ++i)
        LevelAfter(10, 0, 0);
    EXPECT_EQ(win->Meters->State.LeftBar, before - 10);
    EXPECT_EQ(LitColumns(win->imleft), before - 10 + 1);

    // A stop clears the meters, the maxima, the bars and the red.
    LevelAfter(200, 32768, 32768);
    win->btnStopClick();
    EXPECT_EQ(LitColumns(win->imleft), 0);
    EXPECT_EQ(win->Meters->State.LeftBar, 0);
    EXPECT_EQ(win->Meters->State.MaxRightDb, 0);
    EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:0db");
    EXPECT_EQ(win->lbrightdb->Caption(), "R:0db");
    EXPECT_EQ(win->lbMaxR->FontColor(), QColor(Qt::black));
    EXPECT_EQ(win->lbrightdb->FontColor(), QColor(Qt::black));

    // A playback's levels move the meters too.
    win->Playback->State.Playing = true;
    LevelAfter(200, 3277, 3277);
    EXPECT_EQ(win->lbleftdb->Caption(), "L:-20db");
}

TEST_F(Meters, TheScreenShowsEmptyBarsAfterAStopAndAPlaybacksEnd)
{
    // What the screen shows of a meter's first cells: the window's own pixels, as painted.
    const auto litOnScreen = [this](framework::TImage* meter) {
        QApplication::processEvents();
        const QImage screen = win->screen()->grabWindow(win->winId()).toImage();
        const QImage unlit = MakeUnlitMeter();
        const QPoint origin = meter->mapTo(win.w.get(), QPoint(0, 0));
        int lit = 0;
        for (int j = 0; j < 10; ++j)
            lit += screen.pixelColor(origin + QPoint(3 * j, 1)) != Cell(unlit, j);
        return lit;
    };
    win->show();
    Record();
    LevelAfter(300, 32768, 32768);
    const QDeadlineTimer deadline(5000);
    while (litOnScreen(win->imleft) < 10 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(litOnScreen(win->imleft), 10) << "the loud bar is on the screen";
    win->btnStopClick();
    EXPECT_EQ(litOnScreen(win->imleft), 0);
    EXPECT_EQ(litOnScreen(win->imright), 0);

    win->Playback->State.Playing = true;
    LevelAfter(300, 32768, 32768);
    while (litOnScreen(win->imright) < 10 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    win->Playback->State.Playing = false;
    win->Playback->ShowReady(); // as at a playback's end
    EXPECT_EQ(litOnScreen(win->imright), 0);
}

TEST_F(Meters, EveryMessageCountsButRepaintsKeepTheirPace)
{
    Record();
    framework::TRepaintPacer& pacer = *win->Meters->State.Repaints;
    const uint32_t frame = pacer.FrameMs();
    ASSERT_EQ(frame, 30u) << "about 30 repaints a second at most, on a screen of 60 Hz too";
    LevelAfter(frame, 0, 0);
    const int repaints = pacer.Repaints();

    // 90 rising levels within one frame, a frame after the last repaint: one repaint, yet
    // each message moves the bar, the maximum and its label.
    win.tick += frame;
    for (int i = 1; i <= 90; ++i) {
        const auto value = static_cast<uintptr_t>(400 + i * 360); // -33 dB up to full scale
        Level(value, 0);
        const int bar = std::min(2 * LevelDb(value) + 76, 76);
        EXPECT_EQ(win->Meters->State.LeftBar, bar) << i;
        EXPECT_EQ(LitColumns(win->imleft), std::min(bar + 1, 76)) << i;
        EXPECT_EQ(win->lbMaxL->Caption(), "MaxL:" + std::to_string(LevelDb(value)) + "db") << i;
    }
    EXPECT_EQ(pacer.Repaints(), repaints + 1) << "the first at once, the rest held";
    EXPECT_TRUE(pacer.Holding());

    // The held repaint goes out with the next message a frame on, with that message's change.
    LevelAfter(frame, 32768, 32768);
    EXPECT_EQ(pacer.Repaints(), repaints + 2);
    EXPECT_FALSE(pacer.Holding());

    // When no message follows, it goes out by itself.
    Level(0, 0);
    EXPECT_TRUE(pacer.Holding());
    const QDeadlineTimer deadline(5000);
    while (pacer.Holding() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(pacer.Repaints(), repaints + 3);

    // A steady level, once the bars have fallen to it, repaints nothing; a change does.
    for (int i = 0; i < 100; ++i)
        LevelAfter(frame, 16384, 16384);
    const int steady = pacer.Repaints();
    for (int i = 0; i < 5; ++i)
        LevelAfter(frame, 16384, 16384);
    EXPECT_EQ(pacer.Repaints(), steady) << "a still meter costs no paint";
    EXPECT_EQ(LitColumns(win->imleft), 2 * -6 + 76 + 1);
    LevelAfter(frame, 32768, 16384);
    EXPECT_EQ(pacer.Repaints(), steady + 1);
    EXPECT_EQ(LitColumns(win->imleft), 76);
}

TEST_F(Meters, AutomaticPauseAndResumeOnTheLeftLevel)
{
    auto& pause = win->Settings.AutoPause;
    pause.Enable = true;
    pause.LowerLevel = 5;
    pause.LowerTime = 5;
    pause.LouderLevel = 5;
    Record();

    // A loud right channel does not keep the recording going; quiet is below 1639.
    LevelAfter(100, 1638, 32768);
    for (int i = 0; i < 49; ++i)
        LevelAfter(100, 1638, 32768);
    EXPECT_FALSE(win->Session->State.Paused) << "4.9 s of quiet";
    LevelAfter(100, 1638, 32768);
    EXPECT_TRUE(win->Session->State.Paused) << "five whole seconds";
    EXPECT_EQ(win->lbStatus->Caption(), "Auto Paused ...");
    EXPECT_EQ(engine.calls.back(), "pause");

    LevelAfter(100, 1638, 0);
    EXPECT_TRUE(win->Session->State.Paused);
    LevelAfter(100, 1639, 0);
    EXPECT_FALSE(win->Session->State.Paused) << "the first loud message resumes";
    EXPECT_EQ(engine.calls.back(), "resume");

    // The quiet stretch that led to the pause still counts.
    LevelAfter(100, 0, 0);
    EXPECT_TRUE(win->Session->State.Paused);

    // A loud message while running ends the quiet stretch.
    LevelAfter(100, 32768, 0);
    EXPECT_FALSE(win->Session->State.Paused);
    LevelAfter(100, 32768, 0);
    LevelAfter(100, 0, 0);
    LevelAfter(4000, 0, 0);
    EXPECT_FALSE(win->Session->State.Paused);
    // Exactly LowerLevel counts as loud (at or above): it ends the quiet stretch too.
    LevelAfter(100, 1639, 0);
    LevelAfter(100, 0, 0);
    LevelAfter(1500, 0, 0);
    EXPECT_FALSE(win->Session->State.Paused) << "1639 is 5 %, not quiet";

    // A manual pause is never resumed by loud input.
    win->tbPauseClick();
    EXPECT_TRUE(win->Session->State.Paused);
    LevelAfter(100, 32768, 32768);
    EXPECT_TRUE(win->Session->State.Paused);
    EXPECT_EQ(win->lbStatus->Caption(), "Paused ...");
}

TEST_F(Meters, AutomaticStop)
{
    win->Settings.AutoStop = {true, 0, 0, 0};
    Record();
    win.Run(200);
    EXPECT_FALSE(win->Session->State.Recording) << "a limit of 0:00:00 stops at the first tick";
    // The tick that stopped does nothing more: the ready texts stay, no "Recording(...)" title.
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    EXPECT_EQ(win->TrayIconFile, "ti.ico");
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));

    // A continued file already longer than the limit.
    win->Settings.AutoStop = {true, 0, 1, 0};
    fakes::WriteWav(win.folder.File("long.wav"), 8000, 1, std::vector<int16_t>(8000 * 65));
    fakes::ModalAnswers answers;
    answers.QueueAction([](const framework::ModalRequest& r) {
        auto* dialog = qobject_cast<TfmFileExists*>(r.form);
        dialog->btnContinuedRec->click();
        return framework::ModalAnswer{dialog->ModalResult(), {}};
    });
    win->Session->State.TargetFile = win.folder.File("long.wav");
    win->tbRecordClick();
    ASSERT_TRUE(win->Session->State.Recording);
    EXPECT_EQ(win->Session->State.ElapsedSec, 65u);
    win.Run(200);
    EXPECT_FALSE(win->Session->State.Recording);

    // Off, or not reached: the recording goes on.
    win->Settings.AutoStop = {false, 0, 0, 0};
    win->Session->State.TargetFile = win.folder.File("short.wav");
    win->tbRecordClick();
    win.Run(2000);
    EXPECT_TRUE(win->Session->State.Recording);
}
