// A recording onto a disk that fills: a small tmpfs of its own (root may mount one; elsewhere
// the test is skipped). The window stops the recording when the disk is full and says so, and
// the file is complete and as long as the box says.
#include "fakes/DecodedAudio.h"
#include "fakes/DiskCapture.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestNames.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"

#include <QElapsedTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>

namespace {

struct Case {
    const char* file;
    const char* setIni;
    const char* diskSize; // tmpfs size: a few seconds of the format
};

class FullDisk : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        disk = capture.folder.File("disk");
        std::filesystem::create_directory(disk);
        const std::string options = std::string("size=") + GetParam().diskSize;
        if (mount("tmpfs", disk.c_str(), "tmpfs", 0, options.c_str()) != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here (not root?)";
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted)
            umount2(disk.c_str(), MNT_DETACH);
    }
    fakes::DiskCapture capture{fakes::MakeSine(44100, 2, 30, 1000, 0.5)};
    std::string disk;
    bool mounted = false;
};

} // namespace

TEST_P(FullDisk, StopsWithinASecondSaysWhyAndLeavesACompleteFile)
{
    const Case c = GetParam();
    const std::string target = disk + "/" + c.file;
    framework::Application().Params = {target};
    fakes::ModalAnswers answers;
    fakes::TestWindow win(c.setIni);
    platform::SetTickSource({});
    SetLevelTarget(&*win); // as the program does: the engine's events reach the window
    struct Untarget {
        ~Untarget() { SetLevelTarget(nullptr); }
    } untarget;
    win->show();

    // The box comes within a second of the file's last growth.
    QElapsedTimer clock;
    clock.start();
    uint64_t size = 0;
    qint64 grewAt = 0;
    fakes::PumpEvents(30000, [&] {
        std::error_code ec;
        const uint64_t now = std::filesystem::file_size(target, ec);
        if (!ec && now > size) {
            size = now;
            grewAt = clock.elapsed();
        }
        return !answers.Seen().empty();
    });
    ASSERT_EQ(answers.Seen().size(), 1u) << "no box within 30 s; the file has " << size << " bytes";
    EXPECT_LT(clock.elapsed() - grewAt, 1000) << "the box came late after the disk filled";
    EXPECT_FALSE(win->Session->State.Recording);
    EXPECT_EQ(win->lbStatus->Caption(), "Ready for your command ...");

    const framework::ModalRequest& box = answers.Seen()[0];
    EXPECT_EQ(box.caption, "Error");
    const std::string start = "Recording stopped: " + target + " could not be written (No space left on device). It holds ";
    ASSERT_EQ(box.text.rfind(start, 0), 0u) << box.text;
    ASSERT_EQ(box.text.substr(box.text.size() - 3), " s.") << box.text;
    const double held = std::stod(box.text.substr(start.size()));
    EXPECT_GT(held, 1.0);

    // Complete, as long as the box says, and the disk used up to the room kept.
    const uint64_t diskBytes = std::stoull(c.diskSize) * 1024;
    EXPECT_GT(std::filesystem::file_size(target), diskBytes - 256 * 1024);
    const auto audio = fakes::DecodeAudioFile(target);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_NEAR(audio.Seconds(), held, 0.15);
    EXPECT_NEAR(fakes::ContainerSeconds(target), held, 0.15);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 22050, 44100), 1000, 10);
}

INSTANTIATE_TEST_SUITE_P(Formats, FullDisk,
    testing::Values(Case{"take.wav", "[WMA]\nUse=0\n[set]\nRecordType=0\n", "1024k"},
        Case{"take.mp3", "[WMA]\nUse=0\n[set]\nRecordType=1\nMP3 Rate=320\n", "320k"},
        Case{"take.wma", "[WMA]\nUse=1\nSamplePerSec=44100\nChannels=2\nBitrate=192\n", "320k"}),
    [](const auto& info) { return fakes::TestNameOf(info.param.file); });
