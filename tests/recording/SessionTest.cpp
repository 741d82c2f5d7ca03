// The recording session from the window's commands, with a fake engine, a clock set by hand
// and scripted dialogs.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "platform/Files.h"
#include "recording/FileExists.h"
#include "recording/Session.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using framework::ModalKind;
using framework::ModalRequest;

namespace {

// The file-exists question answered by one of its buttons (null: closed by the title bar),
// after a look at the dialog.
fakes::ModalAnswers::Action Answer(QPushButton* TfmFileExists::*button,
    std::function<void(TfmFileExists&)> look = {})
{
    return [button, look](const ModalRequest& request) {
        auto* dialog = qobject_cast<TfmFileExists*>(request.form);
        EXPECT_NE(dialog, nullptr) << "expected the file-exists question, got \"" << request.text << "\"";
        if (!dialog)
            return framework::ModalAnswer{};
        if (look)
            look(*dialog);
        if (button)
            (dialog->*button)->click();
        return framework::ModalAnswer{dialog->ModalResult(), {}};
    };
}

class Session : public testing::Test {
protected:
    Session()
    {
        win->Settings.Format.UseWma = false;
        win->Settings.Format.RecordType = 1; // MP3
    }
    std::string Target(const std::string& name) { return win.folder.File(name); }
    // Starts into a new file of that name.
    void Start(const std::string& name)
    {
        win->Session->State.TargetFile = Target(name);
        win->tbRecordClick();
    }

    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
};

} // namespace

TEST(SessionRules, TextsParametersAndTheFormatCheck)
{
    RecordingFormat f;
    f.UseWma = false;
    f.RecordType = 1;
    EXPECT_EQ(RecordingStatusText(false, f), "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ...");
    f.RecordType = 0;
    f.Channels = 1;
    f.SampleRate = 8000;
    EXPECT_EQ(RecordingStatusText(true, f), "Queue Recording Mono 8000 Samples/Sec WAV Audio ...");
    const StartRecordParams wav = StartParamsOf(f);
    EXPECT_EQ((std::vector<int32_t>{wav.Format, wav.SampleRate, wav.Channels, wav.BufferSize, wav.BufferNumber, wav.Bitrate}),
        (std::vector<int32_t>{0, 8000, 1, 2000, 16, 128}));
    f.UseWma = true;
    f.WmaChannels = 1;
    f.WmaSamplePerSec = 22050;
    f.WmaBitrate = 32;
    EXPECT_EQ(RecordingStatusText(false, f), "Recording Mono 22050 Samples/Sec 32 K Bit rate WMA Audio ...");
    const StartRecordParams wma = StartParamsOf(f);
    EXPECT_EQ((std::vector<int32_t>{wma.Format, wma.SampleRate, wma.Channels, wma.Bitrate}),
        (std::vector<int32_t>{2, 22050, 1, 32}));

    EXPECT_EQ(ElapsedTimeText(0), "00:00:00");
    EXPECT_EQ(ElapsedTimeText(65), "00:01:05");
    EXPECT_EQ(ElapsedTimeText(360000 + 3599), "100:59:59") << "hours keep all their digits";

    // Each format's own extension fits, the two others' do not, in any case; others pass.
    RecordingFormat mp3;
    mp3.UseWma = false;
    mp3.RecordType = 1;
    EXPECT_FALSE(ExtensionFitsFormat("/r/take.Wav", mp3));
    EXPECT_FALSE(ExtensionFitsFormat("/r/take.WMA", mp3));
    EXPECT_TRUE(ExtensionFitsFormat("/r/take.mP3", mp3));
    EXPECT_TRUE(ExtensionFitsFormat("/r/take.ogg", mp3));
    EXPECT_TRUE(ExtensionFitsFormat("/r/take", mp3));
    EXPECT_TRUE(ExtensionFitsFormat("/r.wav/take", mp3)) << "a dot in a folder is no extension";
    EXPECT_FALSE(ExtensionFitsFormat("/r/take.mp3", f)) << "WMA configured";
    EXPECT_TRUE(ExtensionFitsFormat("/r/take.wma", f));

    // The running stretch and the banked time, across a wrap of the tick count.
    EXPECT_EQ(ElapsedSeconds(0xFFFFFF00u + 5000, 0xFFFFFF00u, 65300), 70u);
    EXPECT_EQ(ElapsedSeconds(999, 0, 0), 0u);
}

TEST_F(Session, StartRunsOnceAndShowsWhatItRecords)
{
    Start("take.mp3");
    ASSERT_EQ(engine.starts.size(), 1u);
    const auto& s = engine.starts[0];
    EXPECT_EQ(s.path, Target("take.mp3"));
    EXPECT_EQ(s.append, 0);
    EXPECT_EQ(s.startMs, 0);
    EXPECT_EQ(s.params.Format, 1);
    EXPECT_EQ(s.params.Bitrate, 128);
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_FALSE(win->Session->State.Paused);
    EXPECT_TRUE(win->tmRecordTime->Enabled());
    EXPECT_TRUE(win->tmRecordCircle->Enabled());
    EXPECT_EQ(win->lbStatus->Caption(), "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ...");
    EXPECT_EQ(framework::Application().Title(), "Recording(00:00:00)");
    EXPECT_EQ(win->TrayIcon1->ToolTip(), "Recording(00:00:00)");
    EXPECT_EQ(win->TrayIconFile, "ti_rec.ico");

    win->tbRecordClick();
    win->Session->PauseOrResume(true);
    win->tbRecordClick();
    EXPECT_EQ(engine.starts.size(), 1u) << "no start while running or paused";

    win->btnStopClick();
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"start", "pause", "stop"})) << "stopped from the pause";
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    EXPECT_EQ(win->TrayIconFile, "ti.ico");
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    EXPECT_FALSE(win->tmRecordTime->Enabled());
    EXPECT_FALSE(win->tmRecordCircle->Enabled());
}

TEST_F(Session, TheFormatCheckSendsAWrongNameToTheSelection)
{
    fakes::ModalAnswers answers;
    answers.Queue({}); // the selection cancelled
    Start("take.Wav");
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::SaveDialog);
    EXPECT_TRUE(engine.starts.empty());
    EXPECT_TRUE(win->Session->State.TargetFile.empty());
    EXPECT_EQ(win->lbFileName->Caption(), "");

    // A name chosen in that selection passes the same check: another format's asks again.
    answers.Queue({framework::IDOK, Target("chosen.WAV")});
    answers.Queue({framework::IDOK, Target("chosen.mp3")});
    Start("take.wav");
    EXPECT_EQ(answers.Seen().size(), 3u);
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, Target("chosen.mp3"));
    win->btnStopClick();

    Start("take.ogg");
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].path, Target("take.ogg")) << "an unknown extension passes";
}

TEST_F(Session, TheFileExistsQuestion)
{
    fakes::WriteWholeFile(Target("old.mp3"), "old audio");
    fakes::ModalAnswers answers;

    // Cancel, here by Esc: nothing starts, the file stays.
    answers.QueueAction(Answer(nullptr, [&](TfmFileExists& d) {
        EXPECT_EQ(d.windowTitle(), "File Exists");
        EXPECT_EQ(d.size(), QSize(471, 63));
        EXPECT_EQ(d.lbFileName->Caption(), Target("old.mp3"));
        EXPECT_TRUE(d.btnContinuedRec->isEnabled());
        EXPECT_EQ(d.btnContinuedRec->text(), "Continued Record  From End Position");
        EXPECT_EQ(d.btnOverwrite->text(), "Overwrite");
        EXPECT_EQ(d.btnNewFile->text(), "Select New File");
        EXPECT_EQ(d.btnCancel->text(), "Cancel");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&d, &escape);
    }));
    Start("old.mp3");
    EXPECT_TRUE(engine.starts.empty());

    // Closed by its title bar: like Select New File; a cancelled selection asks again.
    answers.QueueAction(Answer(nullptr));
    answers.Queue({}); // selection cancelled
    answers.QueueAction(Answer(&TfmFileExists::btnNewFile));
    answers.Queue({framework::IDOK, Target("new.mp3")});
    Start("old.mp3");
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, Target("new.mp3"));
    EXPECT_EQ(answers.Seen().size(), 5u);
    win->btnStopClick();

    // Under WMA the Continue button is disabled; while a playback is open it says so.
    win->Settings.Format.UseWma = true;
    fakes::WriteWholeFile(Target("old.wma"), "old audio");
    win->Playback->State.Button = PlayButtonLook::Pause; // a playback exists
    answers.QueueAction(Answer(nullptr, [](TfmFileExists& d) {
        EXPECT_FALSE(d.btnContinuedRec->isEnabled());
        EXPECT_EQ(d.btnContinuedRec->text(), "Continued Record From Current Position");
        // Enter presses the focused button.
        d.btnCancel->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(d.btnCancel, &enter);
    }));
    Start("old.wma");
    EXPECT_EQ(engine.starts.size(), 1u);
}

TEST_F(Session, ContinuedFilesKeepTheirTime)
{
    fakes::WriteWav(Target("long.wav"), 8000, 1, std::vector<int16_t>(8000 * 65300 / 1000));
    win->Settings.Format.RecordType = 0;
    fakes::ModalAnswers answers;
    answers.QueueAction(Answer(&TfmFileExists::btnContinuedRec));
    Start("long.wav");
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].append, 1);
    EXPECT_EQ(engine.starts[0].startMs, 65300);
    EXPECT_EQ(engine.starts[0].existingMs, 65300u);
    EXPECT_EQ(win->Session->State.ElapsedSec, 65u);
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 0, 0, 1, 0, 5}));
    win.Run(700);
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 0, 0, 1, 0, 6}));
    EXPECT_EQ(framework::Application().Title(), "Recording(00:01:06)");

    // A minute's pause adds nothing.
    win->tbPauseClick();
    EXPECT_EQ(win->lbStatus->Caption(), "Paused ...");
    EXPECT_EQ(win->tbPause->Hint(), "Resume Recording");
    EXPECT_EQ(framework::Application().Title(), "Paused(00:01:06)");
    EXPECT_EQ(win->TrayIconFile, "ti_rec_p.ico");
    win.Run(60000);
    win->tbPauseClick();
    EXPECT_EQ(win->tbPause->Hint(), "Pause Recording");
    win.Run(1000);
    EXPECT_EQ(win->Session->State.ElapsedSec, 67u);
    win->btnStopClick();

    // The next recording into a new file starts from nothing.
    Start("fresh.wav");
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_EQ(engine.starts[1].append, 0);
    EXPECT_EQ(engine.starts[1].startMs, 0);
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    win->btnStopClick();

    // ... also when another caller starts it.
    answers.QueueAction(Answer(&TfmFileExists::btnContinuedRec));
    Start("long.wav");
    win->btnStopClick();
    ASSERT_TRUE(win->Session->StartRecording({Target("queued.wav"), win->Settings.Format}));
    EXPECT_EQ(engine.starts.back().append, 0);
    EXPECT_EQ(engine.starts.back().startMs, 0);
}

TEST_F(Session, RefusedStartsAndRecordAndPause)
{
    engine.startAnswer = false;
    engine.lastError = "the sound server did not open the input: Connection refused";
    fakes::ModalAnswers answers;
    testing::internal::CaptureStderr();
    Start("take.mp3");
    const std::string stderrText = testing::internal::GetCapturedStderr();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].text,
        "Can't start recording, possible reason:\n1.Other programs are using recording device, please close it and "
        "try again.\n2.Audio device problem.");
    EXPECT_EQ(answers.Seen()[0].details, engine.lastError) << "the engine's reason under Show Details";
    EXPECT_NE(stderrText.find("kestrune: Can't start recording, possible reason: the sound server did not open the "
                              "input: Connection refused\n"),
        std::string::npos)
        << stderrText;
    engine.lastError.clear();
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    EXPECT_FALSE(win->tmRecordTime->Enabled());

    engine.startAnswer = true;
    win->Session->State.TargetFile = Target("paused.mp3");
    win->tbrecandpauseClick();
    EXPECT_TRUE(win->Session->State.Recording);
    EXPECT_TRUE(win->Session->State.Paused);
    EXPECT_EQ(win->lbStatus->Caption(), "Paused ...");
    EXPECT_EQ(win.Digits(), std::vector<int>(6, 0));
    win.Run(5000);
    EXPECT_EQ(win->Session->State.ElapsedSec, 0u);
}

TEST_F(Session, PauseWithTheLevelWatch)
{
    win->Settings.AutoPause.Enable = true;
    Start("take.mp3");
    EXPECT_TRUE(win->Session->State.AutoPauseArmed);

    // An automatic pause turned manual by the button: stays paused, no longer watched.
    win->Session->PauseOrResume(false);
    EXPECT_EQ(win->lbStatus->Caption(), "Auto Paused ...");
    EXPECT_EQ(win->tbPause->Hint(), "Pause Recording") << "automatic pauses leave the hint";
    win->tbPauseClick();
    EXPECT_TRUE(win->Session->State.Paused);
    EXPECT_FALSE(win->Session->State.AutoPauseArmed);
    EXPECT_EQ(win->lbStatus->Caption(), "Paused ...");
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"start", "pause"}));

    // The manual resume starts the watching again, and says it records once more.
    win.Run(1000);
    win->tbPauseClick();
    EXPECT_FALSE(win->Session->State.Paused);
    EXPECT_TRUE(win->Session->State.AutoPauseArmed);
    EXPECT_EQ(win->lbStatus->Caption(), "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ...");
    EXPECT_EQ(framework::Application().Title(), "Recording(00:00:00)");
    EXPECT_EQ(win->TrayIconFile, "ti_rec.ico");
    EXPECT_EQ(win->tbPause->Hint(), "Pause Recording");
    win->tbPauseClick();
    EXPECT_TRUE(win->Session->State.Paused);
    EXPECT_FALSE(win->Session->State.AutoPauseArmed);
}

TEST_F(Session, TheTickCountMayWrapDuringARecording)
{
    win.tick = 0xFFFFF000u;
    Start("take.mp3");
    win.Run(10000); // wraps after about 4 s
    EXPECT_LT(win.tick, 0xFFFFF000u);
    EXPECT_EQ(win->Session->State.ElapsedSec, 10u);
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 0, 0, 0, 1, 0}));
}

TEST_F(Session, ContinueRefusedForAFileThatCannotBeRead)
{
    const std::string junk = "RIFF....WAVEjunk, not a wave file at all";
    fakes::WriteWholeFile(Target("broken.wav"), junk);
    win->Settings.Format.RecordType = 0;
    fakes::ModalAnswers answers;
    answers.QueueAction(Answer(&TfmFileExists::btnContinuedRec));
    Start("broken.wav");
    EXPECT_TRUE(engine.starts.empty());
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "Can't continue file : " + Target("broken.wav"));
    EXPECT_EQ(answers.Seen()[1].caption, "Error");
    EXPECT_EQ(fakes::ReadWholeFile(Target("broken.wav")), junk);
}

TEST_F(Session, OverwriteKeepsTheOldFileUntilTheEngineHasStarted)
{
    fakes::WriteWholeFile(Target("take.mp3"), "precious");
    fakes::ModalAnswers answers;
    engine.startAnswer = false;
    answers.QueueAction(Answer(&TfmFileExists::btnOverwrite));
    answers.Queue({framework::IDOK, {}}); // the error box
    Start("take.mp3");
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(fakes::ReadWholeFile(Target("take.mp3")), "precious") << "put back after the refusal";
    EXPECT_FALSE(platform::FileExists(Target("take.mp3.overwritten")));

    // The engine saw no file at the path; once it runs the old one is gone.
    engine.startAnswer = true;
    answers.QueueAction(Answer(&TfmFileExists::btnOverwrite, [&](TfmFileExists&) {}));
    Start("take.mp3");
    ASSERT_EQ(engine.starts.size(), 2u);
    EXPECT_FALSE(platform::FileExists(Target("take.mp3")));
    EXPECT_FALSE(platform::FileExists(Target("take.mp3.overwritten")));
    EXPECT_TRUE(win->Session->State.Recording);
}

TEST_F(Session, AScheduledStartDuringTheDialogsEndsTheCommand)
{
    // A queued recording is due now; the real runner ticks inside whichever box is open.
    platform::SetLocalTimeSource([] { return QDateTime(QDate(2026, 3, 2), QTime(8, 0, 0, 300)); });
    win->Queue.Entries.push_back({"Everyday", "08 : 00 : 00", "00 : 00 : 10", Target("queued.mp3")});
    fakes::ModalAnswers answers;
    const auto queueStartsInside = [&](framework::ModalAnswer answer) {
        return [&, answer](const ModalRequest&) {
            engine.startAnswer = true;
            win->tmQueue->Tick();
            EXPECT_TRUE(win->Session->State.Recording);
            return answer;
        };
    };
    const auto expectTheQueuedRecordingLeftAlone = [&](const char* during) {
        SCOPED_TRACE(during);
        EXPECT_TRUE(win->Session->State.Recording);
        EXPECT_EQ(engine.starts.back().path, Target("queued.mp3"));
        EXPECT_EQ(win->Session->State.TargetFile, Target("queued.mp3"));
        EXPECT_EQ(win->lbFileName->Hint(), Target("queued.mp3"));
        EXPECT_EQ(fakes::ReadWholeFile(Target("take.mp3")), "precious");
        EXPECT_FALSE(platform::FileExists(Target("take.mp3.overwritten")));
        EXPECT_FALSE(platform::FileExists(Target("queued.mp3")));
        win->Queue.Disable = true; // so that the stop's own check starts nothing
        win->btnStopClick();
        win->Queue.Disable = false;
        win->Runner->TakenStarts.clear();
    };
    fakes::WriteWholeFile(Target("take.mp3"), "precious");
    fakes::WriteWholeFile(Target("broken.mp3"), "not audio");

    // The engine refuses the user's start, and the queue starts inside the refusal's box: the
    // overwritten file goes back under its own name, never onto the queued target.
    engine.startAnswer = false;
    answers.QueueAction(Answer(&TfmFileExists::btnOverwrite));
    answers.QueueAction(queueStartsInside({framework::IDOK, {}}));
    Start("take.mp3");
    ASSERT_EQ(engine.starts.size(), 2u);
    expectTheQueuedRecordingLeftAlone("the refusal's box");

    // Inside the file-exists question: the command ends at its answer.
    engine.startAnswer = false;
    answers.QueueAction([&](const ModalRequest& request) {
        queueStartsInside({})(request);
        return Answer(&TfmFileExists::btnOverwrite)(request);
    });
    Start("take.mp3");
    expectTheQueuedRecordingLeftAlone("the file-exists question");

    // Inside the file selection (a name of another format): the choice made there is dropped.
    engine.startAnswer = false;
    answers.QueueAction(queueStartsInside({framework::IDOK, Target("mine.mp3")}));
    Start("take.wav");
    expectTheQueuedRecordingLeftAlone("the file selection");

    // Inside Select New File's selection, and inside the continue error's box.
    engine.startAnswer = false;
    answers.QueueAction(Answer(&TfmFileExists::btnNewFile));
    answers.QueueAction(queueStartsInside({framework::IDOK, Target("mine.mp3")}));
    Start("take.mp3");
    expectTheQueuedRecordingLeftAlone("Select New File");
    engine.startAnswer = false;
    answers.QueueAction(Answer(&TfmFileExists::btnContinuedRec));
    answers.QueueAction(queueStartsInside({framework::IDOK, {}}));
    Start("broken.mp3");
    expectTheQueuedRecordingLeftAlone("the continue error");
    EXPECT_EQ(fakes::ReadWholeFile(Target("broken.mp3")), "not audio");
}

TEST_F(Session, AFileThatCanBeNeitherMovedNorDeleted)
{
    // The kernel's own files exist but can be neither renamed nor removed, even by root.
    const std::string target = "/proc/self/status";
    ASSERT_TRUE(platform::FileExists(target));
    fakes::ModalAnswers answers;
    answers.QueueAction(Answer(&TfmFileExists::btnOverwrite));
    win->Session->State.TargetFile = target;
    win->tbRecordClick();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "Can't access file : /proc/self/status");
    EXPECT_EQ(answers.Seen()[1].caption, "Error");
    EXPECT_TRUE(engine.starts.empty());
}

TEST_F(Session, AStopTellsOfLostSound)
{
    fakes::ModalAnswers answers;
    Start("take.mp3");
    engine.lossMs = 3650;
    win->btnStopClick();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].text, "Some sound was lost while recording " + Target("take.mp3") + ": 3.6 s are missing.");
    EXPECT_TRUE(answers.Seen()[0].flags & framework::MB_ICONERROR);
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");

    engine.lossMs = 0;
    Start("again.mp3");
    win->btnStopClick();
    EXPECT_EQ(answers.Seen().size(), 1u) << "a complete recording shows nothing";

    // Tenths, halves to even; the smallest loss still reads as some.
    EXPECT_EQ(LossText("/r/a.wav", 3750), "Some sound was lost while recording /r/a.wav: 3.8 s are missing.");
    EXPECT_EQ(LossText("/r/a.wav", 3651), "Some sound was lost while recording /r/a.wav: 3.7 s are missing.");
    EXPECT_EQ(LossText("/r/a.wav", 3), "Some sound was lost while recording /r/a.wav: 0.1 s are missing.");
    EXPECT_EQ(LossText("/r/a.wav", 4294967295u), "Some sound was lost while recording /r/a.wav: 4294967.3 s are missing.");
}

TEST_F(Session, RecordsTheChosenInputAndTellsWhenItWasNotThere)
{
    fakes::ModalAnswers answers;
    win->Settings.Input = "usb-mic";
    Start("take.mp3");
    win->Settings.Input = "other"; // changed in the settings during the recording
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].input, "usb-mic");
    engine.inputMissing = true;
    win->btnStopClick();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].text,
        "The input usb-mic was not found; " + Target("take.mp3") + " was recorded from the default input.");

    win->Settings.Input.clear();
    engine.inputMissing = false;
    Start("again.mp3");
    EXPECT_EQ(engine.starts.back().input, "") << "no choice: the default input";
    win->btnStopClick();
    EXPECT_EQ(answers.Seen().size(), 1u);
}

TEST_F(Session, AFolderThatTakesNoFileIsToldBeforeTheEngineStarts)
{
    // Read-only for root too: a read-only file system of its own where one may be mounted.
    const std::string folder = Target("ro");
    std::filesystem::create_directory(folder);
    const bool mounted = geteuid() == 0 && mount("tmpfs", folder.c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
    if (!mounted)
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    fakes::ModalAnswers answers;
    Start("ro/take.mp3");
    if (mounted)
        umount(folder.c_str());
    EXPECT_TRUE(engine.starts.empty()) << "not the sound device's fault";
    EXPECT_FALSE(win->Session->State.Recording);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].text, "Can't create file : " + Target("ro/take.mp3") + " ("
            + (mounted ? "Read-only file system" : "Permission denied") + ")");
}

TEST_F(Session, AFileThatStopsTakingAudioEndsTheRecordingAndSaysWhy)
{
    win->Settings.Format.RecordType = 0; // WAV
    fakes::ModalAnswers answers;
    Start("take.wav");
    // The engine has written 2.46 s when the disk fills.
    fakes::WriteWav(Target("take.wav"), 44100, 2, fakes::MakeSine(44100, 2, 2.46, 1000, 0.5));
    framework::TMessage event{framework::WM_RECORD_EVENT, RECORD_WRITE_FAILED, 0, 0};
    win->WMRecordEvent(event);
    EXPECT_TRUE(win->Session->State.Recording) << "a report with no failure behind it: an earlier recording's";

    engine.lastError = "No space left on device";
    engine.lossMs = 400;
    win->WMRecordEvent(event);
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(engine.calls.back(), "stop");
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");
    EXPECT_EQ(framework::Application().Title(), "Kestrune");
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_EQ(answers.Seen()[0].text,
        "Recording stopped: " + Target("take.wav") + " could not be written (No space left on device). It holds 2.5 s.");
    EXPECT_EQ(answers.Seen()[1].text, LossText(Target("take.wav"), 400)) << "the loss is told too, after";

    // A report after the stop finds nothing to stop.
    win->WMRecordEvent(event);
    EXPECT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(WriteFailureText("/r/a.mp3", "Input/output error", 0),
        "Recording stopped: /r/a.mp3 could not be written (Input/output error). It holds 0.0 s.");
}

TEST_F(Session, WhileTheSoundServerIsAwayTheStatusSaysItWaits)
{
    fakes::ModalAnswers answers;
    Start("take.mp3");
    framework::TMessage lost{framework::WM_RECORD_EVENT, RECORD_INPUT_LOST, 0, 0};
    framework::TMessage back{framework::WM_RECORD_EVENT, RECORD_INPUT_BACK, 0, 0};
    win->WMRecordEvent(lost);
    EXPECT_EQ(win->lbStatus->Caption(), "Waiting for the sound input ...");
    win.Run(1000);
    EXPECT_EQ(win->lbStatus->Caption(), "Waiting for the sound input ...") << "the tick does not cover it";
    win->WMRecordEvent(back);
    EXPECT_EQ(win->lbStatus->Caption(), "Recording Stereo 44100 Samples/Sec 128 K Bit rate MP3 Audio ...");
    win->tbPauseClick();
    win->WMRecordEvent(lost);
    win->WMRecordEvent(back);
    EXPECT_EQ(win->lbStatus->Caption(), "Paused ...");
    win->btnStopClick();
    win->WMRecordEvent(lost);
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...") << "after the stop: nothing";
    EXPECT_TRUE(answers.Seen().empty());
}

TEST_F(Session, AutomaticNamesAtTheStart)
{
    platform::SetLocalTimeSource([] { return QDateTime(QDate(2026, 3, 2), QTime(8, 5, 9)); });
    auto& names = win->Settings.AutoName;
    names.Enable = true;
    names.Path = Target("auto");
    fakes::ModalAnswers answers;
    win->tbRec->Click();
    const std::string named = Target("auto/20260302 08-05-09.mp3");
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].path, named);
    EXPECT_EQ(win->lbFileName->Hint(), named);
    EXPECT_EQ(win->lbFileName->Caption(), win->ShortFileName(named));
    win->btnStopClick();

    // No part chosen: no name, so the file selection asks for one.
    names.Year = names.Month = names.Day = names.Hour = names.Minute = names.Second = false;
    answers.Queue({}); // cancelled
    win->tbRec->Click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, ModalKind::SaveDialog);
    EXPECT_EQ(engine.starts.size(), 1u);

    // A folder that cannot be made ends the command in the standard error box.
    names.Second = true;
    names.Path.clear();
    answers.Queue({framework::IDOK, {}});
    win->tbRec->Click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "Unable to create directory");
    EXPECT_EQ(engine.starts.size(), 1u);
}
