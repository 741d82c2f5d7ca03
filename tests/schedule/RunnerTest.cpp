// The schedule runner in the window, with a fake engine, a local time and a tick count set by
// hand, and scripted message boxes.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "platform/Files.h"
#include "schedule/Due.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

using framework::ModalAnswer;
using framework::ModalKind;
using framework::ModalRequest;

namespace {

const std::string CantStart = "Can't start recording, possible reason:";
const std::string Ready = "Ready for your command ...";

class ScheduleRunner : public testing::Test {
protected:
    ScheduleRunner()
    {
        platform::SetLocalTimeSource([this] { return now; });
    }
    // Monday 2 March 2026 plus days, at h:m:s and a little.
    void At(int h, int m, int s, int days = 0) { now = QDateTime(QDate(2026, 3, 2).addDays(days), QTime(h, m, s, 300)); }
    // A reading of the clock in Berlin at .300, given in UTC so that either reading of a repeated
    // hour can be named.
    void InBerlin(QDate date, int utcHour, int m, int s)
    {
        now = QDateTime(date, QTime(utcHour, m, s, 300), Qt::UTC).toTimeZone(QTimeZone("Europe/Berlin"));
    }
    void Add(const std::string& date, const std::string& start, const std::string& length, const std::string& target)
    {
        win->Queue.Entries.push_back({date, start, length, target});
    }
    // One tick of the queue timer, through the handler guard as the real timer runs it.
    void Check() { win->tmQueue->Tick(); }
    // Stops at a time when nothing is due, so that the stop's own check starts nothing.
    void StopWhenNothingDue()
    {
        At(12, 0, 0);
        win->btnStopClick();
        ASSERT_FALSE(win->Session->State.Recording);
    }
    std::string Target(const std::string& name) { return win.folder.File(name); }
    bool StatusIsQueued() { return win->lbStatus->Caption().rfind("Queue Recording ", 0) == 0; }

    QDateTime now;
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(ScheduleRunner, RunsForItsLengthThenChecksAgain)
{
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("q/take.mp3"));
    Add("Everyday", "08 : 00 : 10", "00 : 00 : 05", Target("q/next.wav"));
    const std::vector<QueueEntry> entries = win->Queue.Entries;

    At(7, 59, 59);
    Check();
    EXPECT_TRUE(engine.starts.empty()) << "a second early";

    At(8, 0, 0);
    Check();
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, Target("q/take.mp3"));
    EXPECT_EQ(engine.starts[0].params.Format, 1);
    EXPECT_TRUE(std::filesystem::is_directory(Target("q")));
    EXPECT_TRUE(win->Settings.Format.UseWma) << "the user's WMA stays set: the entry's MP3 is its own";
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_TRUE(win->Session->State.QueueRecordingFlag);
    EXPECT_EQ(win->Session->State.QueueLength, 10u);
    EXPECT_EQ(win->lbStatus->Caption(), "Queue Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ...");
    EXPECT_EQ(win->lbFileName->Hint(), Target("q/take.mp3"));
    EXPECT_EQ(framework::Application().Title(), "Recording(00:00:00)");
    Check();
    EXPECT_EQ(engine.starts.size(), 1u) << "nothing starts while recording";

    win.Run(9800);
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_EQ(win->Session->State.ElapsedSec, 9u);
    // Ten seconds recorded: the stop, whose check starts the entry due by then.
    At(8, 0, 10);
    win.Run(200);
    EXPECT_EQ(engine.calls, (Calls{"start", "stop", "start"}));
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].path, Target("q/next.wav"));
    EXPECT_EQ(engine.starts[1].params.Format, 0);
    EXPECT_EQ(win->Session->State.QueueLength, 5u);
    EXPECT_TRUE(win->Session->State.QueueRecordingFlag);

    // The Stop button ends it too; entries stay as they were.
    StopWhenNothingDue();
    EXPECT_FALSE(win->Session->State.QueueRecordingFlag);
    EXPECT_EQ(win->lbStatus->Caption(), Ready);
    ASSERT_EQ(win->Queue.Entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_TRUE(SameEntry(win->Queue.Entries[i], entries[i]));
}

TEST_F(ScheduleRunner, ThroughTheChangesOfTheClock)
{
    // 28 March 2027: the clock goes from 01:59:59 to 03:00:00. An entry at 02:30 starts at the
    // jump, for its whole length.
    const QDate spring(2027, 3, 28);
    Add("Everyday", "02 : 30 : 00", "00 : 10 : 00", Target("spring.wav"));
    InBerlin(spring, 0, 59, 59);
    ASSERT_EQ(now.time(), QTime(1, 59, 59, 300));
    Check();
    EXPECT_TRUE(engine.starts.empty());
    InBerlin(spring, 1, 0, 0);
    ASSERT_EQ(now.time(), QTime(3, 0, 0, 300));
    Check();
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, Target("spring.wav"));
    EXPECT_EQ(win->Session->State.QueueLength, 600u);
    win->btnStopClick();

    // 31 October 2027: the clock goes from 02:59:59 back to 02:00:00. An entry at 02:30 starts
    // at the first 02:30 only.
    const QDate autumn(2027, 10, 31);
    win->Queue.Entries.clear();
    Add("Everyday", "02 : 30 : 00", "00 : 00 : 10", Target("autumn.wav"));
    for (int utcHour : {0, 1}) {
        InBerlin(autumn, utcHour, 29, 59);
        Check();
        InBerlin(autumn, utcHour, 30, 0);
        ASSERT_EQ(now.time(), QTime(2, 30, 0, 300));
        Check();
        win.Run(10000);
    }
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].path, Target("autumn.wav"));
    EXPECT_EQ(engine.calls, (Calls{"start", "stop", "start", "stop"}));
}

TEST_F(ScheduleRunner, LateTicksAndSleeps)
{
    // Summer days in Berlin, two hours ahead of UTC.
    const auto at = [&](int h, int m, int s, int days = 0) { InBerlin(QDate(2027, 6, 7).addDays(days), h - 2, m, s); };
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("late.wav"));
    Add("Everyday", "09 : 00 : 00", "00 : 10 : 00", Target("slept.wav"));

    // The check is held up 6 s past the start: it starts, and stops at its planned end, 08:00:10.
    at(7, 59, 59);
    Check();
    at(8, 0, 6);
    Check();
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(win->Session->State.QueueLength, 4u);
    win.Run(3800);
    EXPECT_TRUE(win->Session->State.Recording);
    win.Run(200);
    EXPECT_FALSE(win->Session->State.Recording);

    // The machine sleeps from then over the start at 09:00: the entry records what is left of
    // its ten minutes.
    at(9, 5, 0);
    Check();
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].path, Target("slept.wav"));
    EXPECT_EQ(win->Session->State.QueueLength, 300u);
    win->btnStopClick();

    // Asleep until 09:20 the next day, past both planned ends: nothing starts.
    at(9, 20, 0, 1);
    Check();
    at(9, 20, 1, 1);
    Check();
    EXPECT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.calls, (Calls{"start", "stop", "start", "stop"}));
}

TEST_F(ScheduleRunner, ZeroLengthStopsAtTheFirstTickAndStartsOnce)
{
    Add("Everyday", "08 : 00 : 01", "00 : 00 : 00", Target("zero.wav"));
    At(8, 0, 0);
    Check();
    EXPECT_TRUE(engine.starts.empty());
    At(8, 0, 1);
    Check();
    win.Run(200);
    EXPECT_EQ(engine.calls, (Calls{"start", "stop"}));
    for (int s : {1, 2, 3}) {
        At(8, 0, s);
        Check();
        win.Run(200);
    }
    EXPECT_EQ(engine.calls, (Calls{"start", "stop"}));
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_FALSE(win->tmRecordTime->Enabled());
}

TEST_F(ScheduleRunner, HeldBackByRecordingPlaybackOrDisable)
{
    Add("Everyday", "08 : 00 : 00", "00 : 01 : 00", Target("queued.mp3"));
    At(8, 0, 0);

    // A manual recording holds it back; its stop runs the check, which starts it for what is
    // left of its minute.
    win->Settings.Format.UseWma = false;
    win->Settings.Format.RecordType = 0;
    win->Session->State.TargetFile = Target("manual.wav");
    win->tbRecordClick();
    Check();
    ASSERT_EQ(engine.starts.size(), 1u);
    At(8, 0, 30);
    win->btnStopClick();
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].path, Target("queued.mp3"));
    EXPECT_EQ(win->Session->State.QueueLength, 30u);
    StopWhenNothingDue();

    At(8, 0, 0, 1);
    win->Playback->State.Playing = true;
    Check();
    EXPECT_EQ(engine.starts.size(), 2u) << "a playback holds it back";
    // A paused playback is open but not playing: it does not.
    win->Playback->State.Playing = false;
    win->Playback->State.Button = PlayButtonLook::Resume; // paused
    ASSERT_TRUE(win->Playback->Open());
    Check();
    EXPECT_EQ(engine.starts.size(), 3u);
    StopWhenNothingDue();

    // While disabled, time passes as looked at: enabled again, the queue does not catch up.
    win->Queue.Disable = true;
    At(7, 59, 59, 2);
    Check();
    At(8, 0, 0, 2);
    Check();
    EXPECT_EQ(engine.starts.size(), 3u) << "disabled";
    win->Queue.Disable = false;
    At(8, 0, 20, 2);
    Check();
    EXPECT_EQ(engine.starts.size(), 3u);
}

TEST_F(ScheduleRunner, TargetsAndFormats)
{
    fakes::WriteWholeFile(Target("old.mp3"), "earlier take");
    win->Settings.AutoName.Enable = true; // only the entry's own form names files automatically
    win->Settings.AutoName.Path = Target("auto");
    const struct {
        std::string entryTarget;
        std::string path;
        int format; // the engine's: 0 WAV, 1 MP3, 2 WMA
    } cases[] = {
        {Target("rec/show.MP3"), Target("rec/show.MP3"), 1},
        {Target("rec/show"), Target("rec/show"), 2},
        {"Use Auto Name Record WAV", Target("auto/20260302 08-00-00.wav"), 0},
        {"Use Auto Name Record WMA", Target("auto/20260302 08-00-00.wma"), 2},
        // An existing file is neither asked about nor continued.
        {Target("old.mp3"), Target("old.mp3"), 1},
    };
    for (const auto& c : cases) {
        win->Queue.Entries.clear();
        Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", c.entryTarget);
        At(8, 0, 0);
        Check();
        ASSERT_FALSE(engine.starts.empty());
        const auto& s = engine.starts.back();
        EXPECT_EQ(s.path, c.path);
        EXPECT_EQ(s.params.Format, c.format) << c.entryTarget;
        EXPECT_EQ(s.append, 0);
        EXPECT_EQ(s.startMs, 0);
        EXPECT_TRUE(win->Settings.Format.UseWma) << "the user's format";
        EXPECT_EQ(win->Session->State.TargetFile, c.path);
        EXPECT_EQ(win->lbFileName->Hint(), c.path);
        StopWhenNothingDue();
    }
    EXPECT_EQ(engine.starts.size(), std::size(cases));
    EXPECT_EQ(fakes::ReadWholeFile(Target("old.mp3")), "earlier take");
    EXPECT_EQ(win->Settings.Format.RecordType, 1) << "the user's format, whatever the entries recorded";

    // An automatic name that comes back empty passes on to the next due entry.
    win->Settings.AutoName.Year = win->Settings.AutoName.Month = win->Settings.AutoName.Day = false;
    win->Settings.AutoName.Hour = win->Settings.AutoName.Minute = win->Settings.AutoName.Second = false;
    win->Queue.Entries.clear();
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 07", "Use Auto Name Record WAV");
    At(8, 0, 0);
    Check();
    EXPECT_EQ(engine.starts.size(), std::size(cases)) << "nothing to record into";
    EXPECT_EQ(win->Session->State.TargetFile, "");
    EXPECT_EQ(win->Settings.Format.RecordType, 1);
    EXPECT_EQ(win->Session->State.QueueLength, 7u);
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("second.wma"));
    Check();
    ASSERT_EQ(engine.starts.size(), std::size(cases) + 1);
    EXPECT_EQ(engine.starts.back().path, Target("second.wma"));
    StopWhenNothingDue();
}

TEST_F(ScheduleRunner, BadLengthOrBareNameEndsTheCheck)
{
    fakes::ModalAnswers answers;
    Add("Everyday", "08 : 00 : 00", "00 : 1O : 00", Target("a.mp3"));
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("b.mp3"));
    At(8, 0, 0);
    Check();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[0].text, "'1O' is not a valid integer value");
    EXPECT_TRUE(engine.starts.empty()) << "later entries are not examined";
    EXPECT_EQ(win->lbFileName->Caption(), "[null]");

    // A bare name: its folder cannot be made. What was set before stays; the hint does not change.
    win->Queue.Entries = {{"Everyday", "08 : 00 : 00", "00 : 00 : 10", "show.mp3"}};
    Check();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].kind, ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[1].text, "Unable to create directory");
    EXPECT_TRUE(engine.starts.empty());
    EXPECT_EQ(win->Session->State.TargetFile, "show.mp3");
    EXPECT_EQ(win->lbFileName->Caption(), "show.mp3");
    EXPECT_EQ(win->lbFileName->Hint(), "[null]");
    EXPECT_EQ(win->Settings.Format.RecordType, 1);
    EXPECT_TRUE(win->Settings.Format.UseWma) << "the user's format";
    EXPECT_EQ(win->Session->State.QueueLength, 10u);
    EXPECT_FALSE(win->Session->State.QueueRecordingFlag);
    EXPECT_FALSE(win->Session->State.Recording);
    // Its error is shown once that day.
    Check();
    EXPECT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(engine.starts.empty());
}

TEST_F(ScheduleRunner, RefusedStartIsNotShownAsRecordingNorRetriedThatDay)
{
    fakes::ModalAnswers answers;
    engine.startAnswer = false;
    // What the user had chosen stays when the engine refuses the queue.
    win->Session->State.TargetFile = Target("mine.wma");
    win->ShowFileName(win->Session->State.TargetFile);
    win->Settings.Format.UseWma = true;
    win->Settings.Format.RecordType = 0;
    const std::string caption = win->lbFileName->Caption();
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("a.mp3"));
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("b.wav"));
    At(8, 0, 0);
    Check();
    // A refusal does not hold back the next entry due.
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[0].path, Target("a.mp3"));
    EXPECT_EQ(engine.starts[1].path, Target("b.wav"));
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].text.rfind(CantStart, 0), 0u);
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_FALSE(win->Session->State.QueueRecordingFlag);
    EXPECT_FALSE(win->tmRecordTime->Enabled());
    EXPECT_EQ(win->lbStatus->Caption(), Ready);
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    EXPECT_EQ(win->Session->State.TargetFile, Target("mine.wma"));
    EXPECT_EQ(win->lbFileName->Caption(), caption);
    EXPECT_EQ(win->lbFileName->Hint(), Target("mine.wma"));
    EXPECT_TRUE(win->Settings.Format.UseWma);
    EXPECT_EQ(win->Settings.Format.RecordType, 0);
    win->ApplicationEvents1Idle();
    EXPECT_TRUE(win->tbRec->Visible());
    EXPECT_FALSE(win->tbStop->Visible());

    // Neither is tried again that day, even with the clock set back.
    for (int s : {1, 2, 30, 0}) {
        At(8, 0, s);
        Check();
    }
    EXPECT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(answers.Seen().size(), 2u);

    // The next day the engine takes it.
    engine.startAnswer = true;
    At(8, 0, 0, 1);
    Check();
    ASSERT_EQ(engine.starts.size(), 3u);
    EXPECT_EQ(engine.starts[2].path, Target("a.mp3"));
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_TRUE(StatusIsQueued());
    StopWhenNothingDue();
}

TEST_F(ScheduleRunner, NoSecondCheckWhileItsMessageBoxShows)
{
    fakes::ModalAnswers answers;
    // Ticks that arrive while the box is open: the timer's, and a stop command's.
    const auto tickInsideTheBox = [&](size_t starts, size_t seen) {
        return [&, starts, seen](const ModalRequest&) {
            Check();
            win->tmQueueTimer();
            EXPECT_EQ(engine.starts.size(), starts);
            EXPECT_EQ(answers.Seen().size(), seen);
            return ModalAnswer{framework::IDOK, {}};
        };
    };
    engine.startAnswer = false;
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("a.mp3"));
    At(8, 0, 0);
    answers.QueueAction(tickInsideTheBox(1, 1));
    Check();
    EXPECT_EQ(engine.starts.size(), 1u);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text.rfind(CantStart, 0), 0u);

    win->Queue.Entries = {{"Everyday", "08 : 00 : 00", "00 : 00 : 10", "show.mp3"}};
    answers.QueueAction(tickInsideTheBox(1, 2));
    Check();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "Unable to create directory");
    // Once the box is closed, checks run again: the next day's start meets its error again.
    At(8, 0, 0, 1);
    Check();
    EXPECT_EQ(answers.Seen().size(), 3u);
}

TEST_F(ScheduleRunner, APlaybackRefusalsBoxDoesNotCoverTheRecordingThatStartedMeanwhile)
{
    fakes::ModalAnswers answers;
    answers.QueueAction([this](const ModalRequest&) {
        Check();
        return ModalAnswer{framework::IDOK, {}};
    });
    fakes::WriteWholeFile(Target("broken.wav"), "RIFF junk");
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("show.mp3"));
    At(8, 0, 0);
    win->Session->State.TargetFile = Target("broken.wav");
    win->tbPlayItClick();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_TRUE(StatusIsQueued());
    EXPECT_TRUE(win->tmRecordCircle->Enabled()) << "the reels of the recording";
    EXPECT_EQ(win->TrayIconFile, "ti_rec.ico");
    StopWhenNothingDue();
}

TEST_F(ScheduleRunner, AMissingTrayPictureIsToldOnceAndTheRecordingEndsAtItsLength)
{
    std::filesystem::remove(win.folder.File("ti_rec.ico"));
    fakes::ModalAnswers answers;
    Add("Everyday", "08 : 00 : 00", "00 : 00 : 05", Target("q/take.mp3"));
    At(8, 0, 0);
    Check();
    ASSERT_TRUE(win->Session->State.Recording);
    EXPECT_TRUE(StatusIsQueued()) << "the start goes on to its end";
    At(12, 0, 0);
    for (int i = 0; i < 10; ++i) {
        win.Run(1000);
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(win->Session->State.Recording) << "ended at its length";
    EXPECT_EQ(engine.calls, (Calls{"start", "stop"}));
    EXPECT_EQ(win->lbStatus->Caption(), Ready);
    ASSERT_EQ(answers.Seen().size(), 1u) << "one box for the recording, not one a tick";
    EXPECT_EQ(answers.Seen()[0].text, "Cannot open file " + win.folder.File("ti_rec.ico"));
}
