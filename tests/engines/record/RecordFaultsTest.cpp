// What the recording library leaves behind when things go wrong: a full disk in the middle,
// and a process killed while recording.
#include "engines/record/FileWriter.h"
#include "engines/record/RecordApi.h"
#include "engines/record/Recorder.h"
#include "engines/record/WavSink.h"
#include "fakes/DecodedAudio.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/TempFolder.h"
#include "fakes/TestSignal.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
using namespace std::chrono_literals;

class RecordFaults : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        const auto input = folder.File("input.raw");
        fakes::WriteRawPcm(input, fakes::MakeSine(44100, 2, 20, 1000, 0.5));
        setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
    }
    fakes::TempFolder folder;
};

TEST_F(RecordFaults, AFailedWriteLeavesAValidFileAndStopStillReturns)
{
    const auto path = folder.File("44100-2-16.wav");
    const StartRecordParams wav{0, 44100, 2, 2000, 16, 0};
    {
        // Room for about half a second of audio: then every write fails (EFBIG), with room
        // allocated ahead or not.
        const fakes::FileSizeLimit limit(100000);
        ASSERT_TRUE(StartRecord(&wav, path.c_str(), 0, 0, 0));
        std::this_thread::sleep_for(1500ms);
        EXPECT_STREQ(RecordLastError(), "File too large");
        StopRecord();
    }
    EXPECT_LE(std::filesystem::file_size(path), 100000u);
    const auto audio = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_GT(audio.Seconds(), 0.4);
    EXPECT_LT(audio.Seconds(), 0.6);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 4410, 8820), 1000, 10);
}

// A disk that is full at a set byte of the file, seen through the library's entry points: the
// event comes once, the reason is the system's, and the file ends complete below the limit,
// whether the file system allocates ahead (the file's closing writes have room kept) or not
// (a write fails midway: WAV and MP3 keep their whole frames).
TEST_F(RecordFaults, ADiskFullAtASetByteEndsInACompleteFile)
{
    struct Case {
        const char* file;
        StartRecordParams params;
        uint64_t limit;
        bool reserveUnsupported;
    };
    static std::atomic<int> events{0};
    SetRecordEventReport([](void*, int32_t event) { events += event == RECORD_WRITE_FAILED; }, nullptr);
    for (const Case& c : {Case{"full.wav", {0, 44100, 2, 2000, 16, 0}, 400000, false},
             Case{"full.mp3", {1, 44100, 2, 2000, 16, 320}, 100000, false},
             Case{"full.wma", {2, 44100, 2, 2000, 16, 128}, 100000, false},
             Case{"cut.wav", {0, 44100, 2, 2000, 16, 0}, 400001, true},
             Case{"cut.mp3", {1, 44100, 2, 2000, 16, 320}, 100001, true}}) {
        SCOPED_TRACE(c.file);
        const auto path = folder.File(c.file);
        events = 0;
        record::SetWriteFault({c.limit, ENOSPC, c.reserveUnsupported});
        ASSERT_TRUE(StartRecord(&c.params, path.c_str(), 0, 0, 0));
        for (int waited = 0; events == 0 && waited < 8000; waited += 50)
            std::this_thread::sleep_for(50ms);
        EXPECT_EQ(events, 1);
        EXPECT_STREQ(RecordLastError(), "No space left on device");
        std::this_thread::sleep_for(300ms); // capture goes on meanwhile; nothing more is written
        StopRecord();
        record::SetWriteFault({});
        EXPECT_EQ(events, 1);
        EXPECT_STREQ(RecordLastError(), "No space left on device") << "kept after the stop";
        EXPECT_EQ(RecordLossMs(), 0u) << "what came after the failure is not lost sound";

        const uint64_t size = std::filesystem::file_size(path);
        EXPECT_LE(size, c.limit);
        EXPECT_GT(size, c.limit - (c.reserveUnsupported ? 20000 : 80000));
        const auto audio = fakes::DecodeAudioFile(path);
        ASSERT_TRUE(audio.ok) << audio.error;
        EXPECT_GT(audio.Seconds(), 1.0);
        EXPECT_NEAR(fakes::ContainerSeconds(path), audio.Seconds(), 0.1) << "the header says what the file holds";
        if (c.params.Format == 0) {
            EXPECT_EQ(size, 80 + static_cast<uint64_t>(audio.samples.size()) * 2) << "every byte counted";
        }
        EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 4410, 8820), 1000, 10);
    }
    SetRecordEventReport(nullptr, nullptr);
}

// A WAV writer whose first write hangs for a while, as a disk that stalls.
class StallingSink : public record::WavSink {
public:
    StallingSink(const std::string& path, std::chrono::milliseconds stall)
        : WavSink(path, 44100, 2, false, 0), stall_(stall) {}
    void Write(const int16_t* interleaved, size_t frames) override
    {
        if (!stalled_) {
            stalled_ = true;
            std::this_thread::sleep_for(stall_);
        }
        WavSink::Write(interleaved, frames);
    }

private:
    std::chrono::milliseconds stall_;
    bool stalled_ = false;
};

TEST_F(RecordFaults, AWriterHeldUpPastTheRingLosesSoundAndSaysHowMuch)
{
    // The ring holds two seconds whatever the 16 blocks of 2000 bytes would give; the writer
    // hangs for 3.5 s of a 5 s recording, so about 1.5 s cannot be kept.
    const auto path = folder.File("stalled.wav");
    record::Recorder recorder(std::make_unique<StallingSink>(path, 3500ms), 2000, 16, nullptr);
    std::string error;
    ASSERT_TRUE(recorder.Start(error)) << error;
    std::this_thread::sleep_for(5000ms);
    recorder.Stop();
    const double lost = static_cast<double>(recorder.LostFrames()) / 44100;
    const auto audio = fakes::DecodeAudioFile(path);
    ASSERT_TRUE(audio.ok) << audio.error;
    EXPECT_NEAR(lost, 1.5, 0.3);
    EXPECT_NEAR(audio.Seconds() + lost, 5.0, 0.25) << "every second is either in the file or counted";
    // What follows the gap is still whole frames of the tone, left and right in their places.
    const size_t frames = audio.samples.size() / 2;
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, frames - 44100, 22050), 1000, 10);
    EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 1, 44100, frames - 44100, 22050), 1000, 10);

    // Through the library's entry points a complete recording reports nothing lost, whatever
    // a hand-edited set.ini says of the blocks.
    for (const StartRecordParams p : {StartRecordParams{0, 44100, 2, INT32_MAX, INT32_MAX, 0},
             StartRecordParams{0, 44100, 2, -7, -7, 0}}) {
        const auto file = folder.File("blocks-" + std::to_string(p.BufferSize) + ".wav");
        ASSERT_TRUE(StartRecord(&p, file.c_str(), 0, 0, 0)) << p.BufferSize;
        std::this_thread::sleep_for(1000ms);
        StopRecord();
        EXPECT_EQ(RecordLossMs(), 0u);
        const auto kept = fakes::DecodeAudioFile(file);
        ASSERT_TRUE(kept.ok) << kept.error;
        EXPECT_NEAR(kept.Seconds(), 1.0, 2 * 4096.0 / 44100 + 0.1) << "two device blocks at most, " << p.BufferSize;
    }
}

std::string ChildProgram()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "record_child").string();
}

// Records in a child process for about three seconds, then kills it without warning.
void RecordAndKill(const std::string& format, const std::string& kbps, const std::string& path)
{
    const std::string program = ChildProgram();
    ASSERT_TRUE(std::filesystem::exists(program)) << program;
    std::vector<std::string> args = {program, format, "44100", "2", kbps, path, "-1"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // The three seconds count from the moment the child says it records, so a slow start on
    // a loaded machine does not eat into them.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    ASSERT_EQ(spawned, 0);
    std::string said;
    char c = 0;
    while (said.find("recording") == std::string::npos && read(out[0], &c, 1) == 1)
        said += c;
    close(out[0]);
    ASSERT_NE(said.find("recording"), std::string::npos) << "the child did not start: " << said;
    std::this_thread::sleep_for(3000ms);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the child was still recording when killed";
}

TEST_F(RecordFaults, AKilledRecordingKeepsAllButTheLastSecond)
{
    const auto wav = folder.File("killed.wav");
    const auto mp3 = folder.File("killed.mp3");
    RecordAndKill("0", "0", wav);
    RecordAndKill("1", "128", mp3);
    for (const auto& path : {wav, mp3}) {
        const auto audio = fakes::DecodeAudioFile(path);
        ASSERT_TRUE(audio.ok) << path << ": " << audio.error;
        EXPECT_GE(audio.Seconds(), 2.0) << path;
        EXPECT_NEAR(fakes::DominantFrequency(audio.samples, 2, 0, 44100, 22050, 44100), 1000, 10) << path;
    }
}

} // namespace
