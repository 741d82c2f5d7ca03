// Start-up, the command line, the idle rules and closing.
#include "app/IdleRules.h"
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "framework/HandlerGuard.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// What the idle rules left on the window, in the order of the state table.
struct Shown {
    bool tbOpen, tbRec, tbrecandpause, tbPause, tbStop, tbPlayIt, tbStopPlayback, seekBar, lbFileName;
    bool operator==(const Shown&) const = default;
};

Shown ShownOn(TKestrune& w)
{
    EXPECT_EQ(w.imTrackBar->Visible(), w.imTrackButton->Visible());
    EXPECT_EQ(w.SelectFile1->Visible(), w.tbOpen->Visible());
    EXPECT_EQ(w.StartRecording1->Visible(), w.tbOpen->Visible());
    EXPECT_EQ(w.Startandpauserecording1->Visible(), w.tbOpen->Visible());
    EXPECT_EQ(w.PauseRecording1->Visible(), w.tbPause->Visible());
    EXPECT_EQ(w.StopRecording1->Visible(), w.tbStop->Visible());
    EXPECT_EQ(w.PlayIt1->Visible(), w.tbPlayIt->Visible());
    EXPECT_EQ(w.StopPlayback1->Visible(), w.tbStopPlayback->Visible());
    return {w.tbOpen->Visible(), w.tbRec->Visible(), w.tbrecandpause->Visible(), w.tbPause->Visible(),
        w.tbStop->Visible(), w.tbPlayIt->Visible(), w.tbStopPlayback->Visible(), w.imTrackBar->Visible(),
        w.lbFileName->Visible()};
}

void ProcessPostedMessages()
{
    QCoreApplication::processEvents();
}

} // namespace

TEST(Lifecycle, StartsReadyAndTheIdleRulesFollowTheState)
{
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
    TKestrune& w = *win;
    EXPECT_EQ(w.lbFileName->Caption(), "[null]");
    EXPECT_EQ(w.lbFileName->Hint(), "[null]");
    EXPECT_EQ(w.lbStatus->Caption(), "Ready for your command ...");
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    EXPECT_TRUE(w.Session->State.TargetFile.empty());

    w.ApplicationEvents1Idle();
    const Shown idle{true, true, true, false, false, false, false, false, true};
    EXPECT_EQ(ShownOn(w), idle);

    w.Session->State.TargetFile = win.folder.File("take.mp3");
    w.ApplicationEvents1Idle();
    Shown withTarget = idle;
    withTarget.tbPlayIt = true;
    EXPECT_EQ(ShownOn(w), withTarget);

    w.Session->State.Recording = true;
    w.ApplicationEvents1Idle();
    EXPECT_EQ(ShownOn(w), (Shown{false, false, false, true, true, false, false, false, true}));
    w.Session->State.Recording = false;

    // A playback: the stop button and the seek bar at once, the file commands one pass later.
    w.Playback->State.Button = PlayButtonLook::Pause; // a playback exists
    w.ApplicationEvents1Idle();
    EXPECT_EQ(ShownOn(w).tbStopPlayback, true);
    EXPECT_TRUE(w.tbOpen->Visible()) << "still the previous pass's playback state";
    w.ApplicationEvents1Idle();
    EXPECT_EQ(ShownOn(w), (Shown{false, true, true, false, false, true, true, true, false}));

    // The end of the playback: the file commands come back one pass after the stop button goes.
    w.Playback->State.Button = PlayButtonLook::Play;
    w.ApplicationEvents1Idle();
    EXPECT_FALSE(w.tbStopPlayback->Visible());
    EXPECT_FALSE(w.SelectFile1->Visible());
    w.ApplicationEvents1Idle();
    EXPECT_EQ(ShownOn(w), withTarget);

    // The rules alone, as a table.
    const IdleVisibility v = ComputeIdleVisibility({true, true, true, true});
    EXPECT_FALSE(v.tbPlayIt);
    EXPECT_FALSE(v.tbStopPlayback);
    EXPECT_TRUE(v.lbFileName);
    EXPECT_FALSE(v.tbOpen);
}

TEST(Lifecycle, CloseAsksOnlyWhileRecording)
{
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
    TKestrune& w = *win;
    w.Settings.Format.UseWma = false;
    w.show();
    fakes::ModalAnswers answers;

    for (bool paused : {false, true}) {
        w.Session->State.TargetFile = win.folder.File(paused ? "b.mp3" : "a.mp3");
        w.tbRecordClick();
        if (paused)
            w.tbPauseClick();
        answers.Queue({framework::IDNO, {}});
        w.Close();
        ASSERT_EQ(answers.Seen().size(), paused ? 2u : 1u);
        const auto& q = answers.Seen().back();
        EXPECT_EQ(q.text, "You are recording, Stop recording and Quit ?");
        EXPECT_EQ(q.caption, "Confirm");
        EXPECT_EQ(q.flags, framework::MB_YESNO | framework::MB_ICONQUESTION);
        EXPECT_TRUE(w.isVisible()) << "No keeps the window open";
        EXPECT_TRUE(w.Session->State.Recording) << "and the recording running";
        EXPECT_EQ(w.Session->State.Paused, paused);
        if (!paused)
            w.btnStopClick();
    }

    // A playback alone asks nothing; closing saves set.ini.
    w.btnStopClick();
    w.Playback->State.Button = PlayButtonLook::Pause; // a playback exists
    w.Playback->State.Playing = true;
    w.Close();
    EXPECT_EQ(answers.Seen().size(), 2u);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(fakes::ReadWholeFile(win.folder.File("set.ini")).empty());

    // Yes stops the recording first, then closes.
    w.show();
    w.Playback->State.Button = PlayButtonLook::Play;
    w.Playback->State.Playing = false;
    w.Session->State.TargetFile = win.folder.File("c.mp3");
    w.tbRecordClick();
    answers.Queue({framework::IDYES, {}});
    w.Close();
    EXPECT_FALSE(w.Session->State.Recording);
    EXPECT_EQ(engine.calls.back(), "stop");
    EXPECT_FALSE(w.isVisible());
}

TEST(Lifecycle, TheCommandLineStart)
{
    fakes::FakeRecordEngine engine;
    {
        // Folders that do not exist yet are made, and the recording starts once the loop runs.
        fakes::TempFolder where;
        const std::string target = where.File("new/dir/take.wav");
        framework::Application().Params = {target};
        fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
        EXPECT_TRUE(engine.starts.empty()) << "not before the window is up";
        ProcessPostedMessages();
        EXPECT_TRUE(std::filesystem::is_directory(where.File("new/dir")));
        ASSERT_EQ(engine.starts.size(), 1u);
        EXPECT_EQ(engine.starts[0].path, target);
        EXPECT_EQ(engine.starts[0].params.Format, 0);
        EXPECT_EQ(win->lbFileName->Hint(), target);
        EXPECT_TRUE(win->Session->State.Recording);
        win->btnStopClick();
    }
    {
        // A bare name is in the current folder, and it is the target with automatic names on.
        fakes::TempFolder here;
        const std::filesystem::path before = std::filesystem::current_path();
        std::filesystem::current_path(here.Path());
        framework::Application().Params = {"take.wav"};
        fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n[AutoName]\nEnable=1\n");
        ProcessPostedMessages();
        std::filesystem::current_path(before);
        ASSERT_EQ(engine.starts.size(), 2u);
        EXPECT_EQ(engine.starts[1].path, here.File("take.wav"));
        win->btnStopClick();
    }
    {
        // A folder that cannot be made: its box, and the target stays, unshown, with nothing started.
        framework::Application().Params = {"/proc/no/take.wav"};
        fakes::ModalAnswers answers;
        fakes::TestWindow win;
        ProcessPostedMessages();
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::ErrorBox);
        EXPECT_EQ(answers.Seen()[0].text, "Unable to create directory");
        EXPECT_EQ(engine.starts.size(), 2u) << "nothing more started";
        EXPECT_EQ(win->Session->State.TargetFile, "/proc/no/take.wav");
        EXPECT_EQ(win->lbFileName->Caption(), "[null]");
        win->ApplicationEvents1Idle();
        EXPECT_TRUE(win->tbPlayIt->Visible());
    }
    {
        // No argument: nothing at all.
        framework::Application().Params.clear();
        fakes::TestWindow win;
        ProcessPostedMessages();
        EXPECT_EQ(engine.starts.size(), 2u);
        EXPECT_TRUE(win->Session->State.TargetFile.empty());
    }
}
