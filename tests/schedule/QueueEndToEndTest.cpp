// The whole road with the real recording library and the real clocks: a set.ini whose queue
// holds one entry due two seconds after start-up records SDL's disk-driver input for the
// entry's three seconds, while nothing else is done with the program.
#include "fakes/DecodedAudio.h"
#include "fakes/DiskCapture.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"
#include "settings/CommFunc.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

class QueueEndToEnd : public testing::Test {
protected:
    fakes::DiskCapture capture{fakes::MakeSine(44100, 2, 20, 1000, 0.5)};
    fakes::TempFolder& inputs = capture.folder;
};

} // namespace

TEST_F(QueueEndToEnd, EntryDueSoonRecordsItsLength)
{
    const std::string target = inputs.File("queued/take.wav");
    const QTime start = QTime::currentTime().addSecs(2);
    const std::string setIni = "[WMA]\nUse=1\n[set]\nRecordType=1\n[Queue]\nDisable=0\nCount=1\nDate0=Everyday\n"
                               "StartTime0=" +
        TimeText(start.hour(), start.minute(), start.second()) + "\nLengthTime0=00 : 00 : 03\nTargetFile0=" + target +
        "\n";
    fakes::TestWindow win(setIni);
    platform::SetTickSource({}); // the real clock: the engine runs in real time
    win->show();
    ASSERT_EQ(win->Queue.Entries.size(), 1u);

    QElapsedTimer sinceStartUp;
    sinceStartUp.start();
    fakes::PumpEvents(5000, [&] { return win->Session->State.Recording; });
    ASSERT_TRUE(win->Session->State.Recording) << "the queued start did not come";
    const qint64 startedAfterMs = sinceStartUp.elapsed();
    EXPECT_GE(startedAfterMs, 500);
    EXPECT_LE(startedAfterMs, 3200);
    EXPECT_TRUE(win->Session->State.QueueRecordingFlag);
    EXPECT_EQ(win->lbStatus->Caption(), "Queue Recording Stereo 44100 Samples/Sec WAV Audio ...");
    EXPECT_EQ(win->Settings.Format.RecordType, 1) << "the user's format is the user's";
    EXPECT_TRUE(win->Settings.Format.UseWma);

    fakes::PumpEvents(6000, [&] { return !win->Session->State.Recording; });
    ASSERT_FALSE(win->Session->State.Recording) << "the queued recording did not stop by itself";
    const qint64 ranMs = sinceStartUp.elapsed() - startedAfterMs;
    EXPECT_NEAR(ranMs, 3100, 400);
    EXPECT_FALSE(win->Session->State.QueueRecordingFlag);
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");

    const auto audio = fakes::DecodeAudioFile(target);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_EQ(audio.rate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_NEAR(audio.Seconds(), 3.1, 0.3);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 22050, 44100), 1000, 10);
    std::cout << "queued file: " << audio.Seconds() << " s, started " << startedAfterMs << " ms after start-up\n";

    // Still idle a second later: the entry's start has passed.
    fakes::PumpEvents(1200, [] { return false; });
    EXPECT_FALSE(win->Session->State.Recording);
}
