// The whole road with the real recording library: the program started with a target file on
// its command line records SDL's disk-driver input, and quitting with Yes leaves the file.
#include "fakes/DecodedAudio.h"
#include "fakes/DiskCapture.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestNames.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* file;
    const char* setIni;
    double extraSeconds; // the encoder's delay and last frame
};

class RecordFromWindow : public testing::TestWithParam<Case> {
protected:
    fakes::DiskCapture capture{fakes::MakeSine(44100, 2, 20, 1000, 0.5)};
    fakes::TempFolder& inputs = capture.folder;
};

} // namespace

TEST_P(RecordFromWindow, CommandLineTargetRecordedUntilQuit)
{
    const Case c = GetParam();
    const std::string target = inputs.File(std::string("new/dir/") + c.file);
    framework::Application().Params = {target};
    fakes::TestWindow win(c.setIni);
    platform::SetTickSource({}); // the real clock: the engine runs in real time
    win->show();

    fakes::PumpEvents(3000, [&] { return win->Session->State.Recording; });
    ASSERT_TRUE(win->Session->State.Recording) << "the command-line start did not start";
    fakes::PumpEvents(2000);
    EXPECT_GE(win->Session->State.ElapsedSec, 1u);
    EXPECT_EQ(framework::Application().Title().rfind("Recording(00:00:0", 0), 0u) << framework::Application().Title();

    fakes::ModalAnswers answers;
    answers.Queue({framework::IDYES, {}});
    win->Close();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_FALSE(win->isVisible());

    const auto audio = fakes::DecodeAudioFile(target);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_EQ(audio.rate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_NEAR(audio.Seconds(), 2.0 + c.extraSeconds, 0.35);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 22050, 44100), 1000, 10);
    EXPECT_NEAR(fakes::ToneLevel(audio.samples, 2, 1, 44100, 1000, 22050, 44100), 0.5, 0.08);
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordFromWindow,
    testing::Values(Case{"take.wav", "[WMA]\nUse=0\n[set]\nRecordType=0\n", 0.0},
        Case{"take.mp3", "[WMA]\nUse=0\n[set]\nRecordType=1\nMP3 Rate=128\n", 0.05},
        Case{"take.wma", "[WMA]\nUse=1\nSamplePerSec=44100\nChannels=2\nBitrate=64\n", 0.05}),
    [](const auto& info) { return fakes::TestNameOf(info.param.file); });
