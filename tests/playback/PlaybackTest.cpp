// The playback engine and the seek bar in the window, with a fake wave output that hands
// buffers back when told, real files and the real readers.
#include "fakes/FakeRecordEngine.h"
#include "fakes/FakeWaveOut.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "playback/Playback.h"
#include "playback/SeekBar.h"
#include "recording/FileExists.h"

#include <QCoreApplication>
#include <QPushButton>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

// A counting signal: frame f holds f on the left and -f on the right (16 bits, wrapping), so
// any stretch of output says where in the file it came from.
std::vector<int16_t> Counting(size_t frames, int channels)
{
    std::vector<int16_t> samples;
    for (size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples.push_back(static_cast<int16_t>(c == 0 ? f : 0 - f));
    return samples;
}

int16_t SampleAt(const std::vector<uint8_t>& bytes, size_t index)
{
    int16_t s;
    std::memcpy(&s, bytes.data() + index * 2, 2);
    return s;
}

class Playback : public testing::Test {
protected:
    // A WAV file of the counting signal, with junk after its data chunk.
    std::string MakeWav(const std::string& name, int rate, int channels, size_t frames)
    {
        const std::string path = win.folder.File(name);
        fakes::WriteWav(path, rate, channels, Counting(frames, channels));
        // Odd-sized, so the last block read ends on a part of a frame.
        const std::string junk("LIST\x05\0\0\0INFOj", 13);
        std::ofstream(path, std::ios::binary | std::ios::app) << junk;
        return path;
    }
    void Play(const std::string& path)
    {
        win->Session->State.TargetFile = path;
        win->tbPlayItClick();
    }
    void ExpectReady()
    {
        EXPECT_FALSE(win->Playback->State.Playing);
        EXPECT_EQ(win->tbPlayIt->ImageIndex(), 3);
        EXPECT_EQ(win->tbPlayIt->Hint(), "Play It");
        EXPECT_EQ(win->PlayIt1->Caption(), "Play It");
        EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");
        EXPECT_EQ(framework::Application().Title(), "Kestrune");
        EXPECT_EQ(win->TrayIconFile, "ti.ico");
        EXPECT_EQ(win->Playback->State.PositionMs, 0);
        EXPECT_EQ(win->imTrackButton->Left(), 16);
        EXPECT_FALSE(win->tmRecordCircle->Enabled());
    }

    fakes::FakeWaveOut output;
    fakes::TestWindow win;
};

} // namespace

TEST_F(Playback, OneSecondPlaysExactlyItsFramesThenReady)
{
    Play(MakeWav("44100-2-16.wav", 44100, 2, 44100));
    ASSERT_EQ(output.opens.size(), 1u);
    EXPECT_EQ(output.opens[0].Channels, 2);
    EXPECT_EQ(output.opens[0].SamplesPerSec, 44100u);
    EXPECT_EQ(output.opens[0].AvgBytesPerSec, 176400u);
    EXPECT_EQ(output.opens[0].BlockAlign, 4);
    EXPECT_EQ(output.writeLengths, std::vector<uint32_t>(16, 8192)) << "primed with 16 blocks of 2048 frames";
    EXPECT_TRUE(win->Playback->State.Playing);
    EXPECT_EQ(win->tbPlayIt->ImageIndex(), 4);
    EXPECT_EQ(win->tbPlayIt->Hint(), "Pause");
    EXPECT_EQ(win->PlayIt1->Caption(), "Pause Playback");
    EXPECT_EQ(win->lbStatus->Caption(), "Playing Stereo 44100 Samples/Sec WAV Audio ...");
    EXPECT_EQ(framework::Application().Title(), "Playing");
    EXPECT_EQ(win->TrayIconFile, "ti_play.ico");
    EXPECT_TRUE(win->tmRecordCircle->Enabled());

    // Each returned buffer moves the position: 2048 frames are 46.44 ms.
    ASSERT_TRUE(output.ReturnNext());
    QCoreApplication::processEvents();
    EXPECT_EQ(win->Playback->State.PositionMs, 46);
    EXPECT_EQ(win->imTrackButton->Left(), 16 + 16) << "46 of 1000 ms of 340 px";

    output.ReturnAll();
    ASSERT_EQ(output.writeLengths.size(), 22u);
    EXPECT_EQ(output.writeLengths.back(), 1092u * 4) << "the 22nd block cut to the length";
    ASSERT_EQ(output.written.size(), 44100u * 4) << "nothing of what follows the data";
    EXPECT_EQ(SampleAt(output.written, 2 * 44099), static_cast<int16_t>(44099));
    EXPECT_EQ(output.calls.back(), "close");
    ExpectReady();

    // A file shorter than 16 blocks: 200 ms of 22050 Hz mono is 4096 + 314 frames.
    Play(MakeWav("22050-1-16.wav", 22050, 1, 4410));
    EXPECT_EQ(win->lbStatus->Caption(), "Playing Mono 22050 Samples/Sec WAV Audio ...");
    EXPECT_EQ(output.Queued(), 2u);
    EXPECT_EQ(output.writeLengths.back(), 314u * 2);
    output.ReturnNext();
    QCoreApplication::processEvents();
    EXPECT_TRUE(win->Playback->State.Playing);
    output.ReturnNext();
    QCoreApplication::processEvents();
    ExpectReady();
}

TEST_F(Playback, PauseResumeStopAndTheEnds)
{
    const std::string path = MakeWav("44100-2-16.wav", 44100, 2, 44100);
    Play(path);
    for (int i = 0; i < 3; ++i)
        output.ReturnNext();
    QCoreApplication::processEvents();
    const int32_t at = win->Playback->State.PositionMs;
    EXPECT_EQ(at, 139) << "3 x 2048 frames";

    win->tbPlayItClick(); // pause
    EXPECT_FALSE(win->Playback->State.Playing);
    EXPECT_EQ((Calls(output.calls.end() - 2, output.calls.end())), (Calls{"reset", "close"}));
    EXPECT_EQ(output.Queued(), 0u);
    EXPECT_EQ(win->Playback->State.PositionMs, at) << "buffers handed back by the reset do not move it";
    EXPECT_EQ(win->tbPlayIt->ImageIndex(), 4);
    EXPECT_EQ(win->tbPlayIt->Hint(), "Resume");
    EXPECT_EQ(win->PlayIt1->Caption(), "Resume Playback");
    EXPECT_EQ(win->lbStatus->Caption(), "Paused");
    EXPECT_EQ(framework::Application().Title(), "Playing");
    EXPECT_EQ(win->TrayIcon1->ToolTip(), "Paused");
    EXPECT_EQ(win->TrayIconFile, "ti_play_p.ico");
    EXPECT_FALSE(win->tmRecordCircle->Enabled());

    // Resume at the position: the first frame written is the file's frame round(139 x 44.1).
    output.written.clear();
    win->tbPlayItClick();
    EXPECT_TRUE(win->Playback->State.Playing);
    ASSERT_FALSE(output.written.empty());
    EXPECT_EQ(SampleAt(output.written, 0), 6130);

    // Stop while paused touches no device.
    win->tbPlayItClick();
    const size_t callsBefore = output.calls.size();
    win->tbStopPlaybackClick();
    EXPECT_EQ(output.calls.size(), callsBefore);
    ExpectReady();

    // After a natural end Play starts at 0; paused at the very end, Resume starts at 0 too.
    Play(path);
    output.ReturnAll();
    output.written.clear();
    Play(path);
    EXPECT_EQ(SampleAt(output.written, 0), 0);
    win->tbPlayItClick();
    win->Playback->State.PositionMs = 1000;
    output.written.clear();
    win->tbPlayItClick();
    EXPECT_TRUE(win->Playback->State.Playing);
    EXPECT_EQ(SampleAt(output.written, 0), 0);
    win->tbStopPlaybackClick();
    ExpectReady();
    EXPECT_EQ(output.calls.back(), "close");
}

TEST_F(Playback, ARecordingStartedDuringPlaybackContinuesFromItsPosition)
{
    fakes::FakeRecordEngine engine;
    win->Settings.Format.UseWma = false;
    win->Settings.Format.RecordType = 0;
    Play(MakeWav("44100-2-16.wav", 44100, 2, 44100));
    for (int i = 0; i < 10; ++i)
        output.ReturnNext();
    QCoreApplication::processEvents();
    const int32_t at = win->Playback->State.PositionMs;
    ASSERT_EQ(at, 464);

    fakes::ModalAnswers answers;
    answers.QueueAction([](const framework::ModalRequest& request) {
        auto* dialog = qobject_cast<TfmFileExists*>(request.form);
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return framework::ModalAnswer{};
        EXPECT_EQ(dialog->btnContinuedRec->text().toStdString(), "Continued Record From Current Position");
        dialog->btnContinuedRec->click();
        return framework::ModalAnswer{dialog->ModalResult(), {}};
    });
    win->tbRecordClick();
    ASSERT_EQ(engine.starts.size(), 1u);
    EXPECT_EQ(engine.starts[0].append, 1);
    EXPECT_EQ(engine.starts[0].startMs, at);
    EXPECT_FALSE(win->Playback->State.Playing);
    EXPECT_EQ(win->tbPlayIt->ImageIndex(), 3) << "the playback was stopped";
    EXPECT_EQ(output.calls.back(), "close");
    EXPECT_TRUE(win->Session->State.Recording);
    win->btnStopClick();
}

TEST_F(Playback, FilesAndDevicesThatCannotPlayLeaveTheWindowReady)
{
    fakes::ModalAnswers answers;
    // Not audio, though named so: one box, no device.
    fakes::WriteWholeFile(win.folder.File("broken.wav"), "RIFF junk");
    Play(win.folder.File("broken.wav"));
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "Can't play file : " + win.folder.File("broken.wav"));
    EXPECT_EQ(answers.Seen()[0].details, "not a RIFF WAVE file");
    EXPECT_EQ(answers.Seen()[0].caption, "Error");
    EXPECT_TRUE(output.opens.empty());
    ExpectReady();

    // An extension no reader takes: only the reader's own box.
    Play(win.folder.File("take.ogg"));
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "We can only accept mp3 and wav file");
    ExpectReady();

    // No output device: its box, then ready rather than "Playing" until Stop.
    output.openFails = true;
    Play(MakeWav("44100-2-16.wav", 44100, 2, 44100));
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[2].text, "Can't open wave out device");
    EXPECT_EQ(answers.Seen()[2].details, "no device") << "the output's reason";
    ExpectReady();

    // An output whose server goes away: what was queued comes back, nothing more is read.
    output.openFails = false;
    Play(win.folder.File("44100-2-16.wav"));
    ASSERT_TRUE(win->Playback->State.Playing);
    const size_t writes = output.writes.size();
    output.gone = true;
    output.ReturnAll();
    EXPECT_EQ(output.writes.size(), writes) << "no refill for a gone output";
    EXPECT_FALSE(win->Playback->State.Playing);
    ExpectReady();
    EXPECT_EQ(answers.Seen().size(), 3u);
}

TEST_F(Playback, TheSeekBar)
{
    EXPECT_EQ(win->Playback->SeekBar.TrackLeft, 16);
    EXPECT_EQ(win->Playback->SeekBar.TrackRight, 356);
    EXPECT_EQ(KnobLeftFor(30000, 60000, 16, 356), 186);
    EXPECT_EQ(PositionForKnob(16 + 170, 60000, 16, 356), 30000);
    EXPECT_EQ(DraggedKnobLeft(-5000, 100, 0, 16, 356), 16);
    EXPECT_EQ(DraggedKnobLeft(5000, 100, 0, 16, 356), 356);
    EXPECT_EQ(DraggedKnobLeft(130, 100, 100, 16, 356), 130);

    win->Playback->FileInfo.DurationMs = 60000;
    win->Playback->State.PositionMs = 30000;
    win->ShowPlayPosition();
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 0, 0, 0, 3, 0}));
    EXPECT_EQ(win->imTrackButton->Left(), 186);
    win->Playback->State.PositionMs = 70000;
    win->ShowPlayPosition();
    EXPECT_EQ(win->Playback->State.PositionMs, 60000) << "clamped to the length";
    EXPECT_EQ(win->imTrackButton->Left(), 356);
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 0, 0, 1, 0, 0}));
    win->Playback->FileInfo.DurationMs = 4000000;
    win->Playback->State.PositionMs = 3725000;
    win->ShowPlayPosition();
    EXPECT_EQ(win.Digits(), (std::vector<int>{0, 1, 0, 2, 0, 5}));

    // A release while playing seeks: the output starts anew at the knob's position.
    const std::string path = MakeWav("44100-2-16.wav", 44100, 2, 44100);
    win->Playback->State.PositionMs = 0;
    Play(path);
    win->imTrackButtonMouseDown(framework::TMouseButton::Left, {}, 0, 0);
    win->imTrackButton->move(16 + 170, win->imTrackButton->Top());
    output.written.clear();
    win->imTrackButtonMouseUp(framework::TMouseButton::Left, {}, 0, 0);
    EXPECT_FALSE(win->Playback->SeekBar.Dragging);
    EXPECT_EQ(win->Playback->State.PositionMs, 500);
    EXPECT_TRUE(win->Playback->State.Playing);
    ASSERT_FALSE(output.written.empty());
    EXPECT_EQ(SampleAt(output.written, 0), 22050);

    // A release while paused moves the position there: the digits show it and the resume
    // plays from it.
    win->tbPlayItClick();
    win->imTrackButtonMouseDown(framework::TMouseButton::Left, {}, 0, 0);
    win->imTrackButton->move(16 + 255, win->imTrackButton->Top());
    win->imTrackButtonMouseUp(framework::TMouseButton::Left, {}, 0, 0);
    EXPECT_EQ(win->imTrackButton->Left(), 16 + 255);
    EXPECT_EQ(win->Playback->State.PositionMs, 750);
    EXPECT_FALSE(win->Playback->State.Playing);
    output.written.clear();
    win->tbPlayItClick();
    ASSERT_TRUE(win->Playback->State.Playing);
    EXPECT_EQ(SampleAt(output.written, 0), static_cast<int16_t>(33075)) << "frame 33075 of the counting signal";
    EXPECT_EQ(win->imTrackButton->Left(), 16 + 255);
    win->tbStopPlaybackClick();
}

TEST_F(Playback, ReadersThatEndEarlyOrVanishAndAKnobThatIsHeld)
{
    fakes::ModalAnswers answers;
    EXPECT_EQ(PlayingStatusText({akMp3, 22050, 1, 32, 0, 0, 0, 1000}), "Playing Mono 22050 Samples/Sec 32 K Bit rate MP3 Audio ...");
    EXPECT_EQ(PlayingStatusText({akWma, 44100, 2, 64, 0, 0, 0, 1000}), "Playing Stereo 44100 Samples/Sec 64 K Bit rate WMA Audio ...");

    // A header that promises a second over half a second of audio: it ends as at the end.
    const std::string path = MakeWav("44100-2-16.wav", 44100, 2, 44100);
    const std::string shortFile = win.folder.File("short.wav");
    std::filesystem::copy_file(path, shortFile);
    std::filesystem::resize_file(shortFile, 44 + 22050 * 4);
    Play(shortFile);
    ASSERT_TRUE(win->Playback->State.Playing);
    output.ReturnAll();
    ExpectReady();
    // Its header and nothing behind: a reader that gives nothing is refused.
    std::filesystem::resize_file(shortFile, 44);
    Play(shortFile);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "Can't play file : " + shortFile);
    ExpectReady();

    // The knob stays under the cursor while held, and the playback turns the reels again on
    // resume.
    Play(path);
    win->imTrackButtonMouseDown(framework::TMouseButton::Left, {}, 0, 0);
    win->imTrackButton->move(300, win->imTrackButton->Top());
    output.ReturnNext();
    QCoreApplication::processEvents();
    EXPECT_EQ(win->imTrackButton->Left(), 300);
    // The file goes while playing: the seek's reader cannot open it.
    std::filesystem::remove(path);
    win->imTrackButtonMouseUp(framework::TMouseButton::Left, {}, 0, 0);
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].text, "Can't play file : " + path);
    ExpectReady();

    // A drag that the playback's end cuts short ends when the knob hides.
    const std::string again = MakeWav("again.wav", 44100, 2, 44100);
    Play(again);
    win->tbPlayItClick();
    EXPECT_FALSE(win->tmRecordCircle->Enabled());
    win->tbPlayItClick();
    EXPECT_TRUE(win->tmRecordCircle->Enabled()) << "the reels turn again on resume";
    win->imTrackButtonMouseDown(framework::TMouseButton::Left, {}, 0, 0);
    output.ReturnAll();
    win->ApplicationEvents1Idle();
    EXPECT_FALSE(win->Playback->SeekBar.Dragging);
    Play(again);
    output.ReturnNext();
    QCoreApplication::processEvents();
    EXPECT_GT(win->imTrackButton->Left(), 16) << "the knob follows the next playback";
    win->tbStopPlaybackClick();
}