// The program as the system ends it: SIGTERM (a logout, a shutdown) and SIGINT (Ctrl+C) while
// it records. It must stop the recording in order, save set.ini and exit 0, promptly.
#include "fakes/DecodedAudio.h"
#include "fakes/TempFolder.h"
#include "fakes/TestSignal.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Waits for the child for at most limit; true with its status when it ended.
bool WaitFor(pid_t child, std::chrono::milliseconds limit, int& status)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(QuitSignal, EndsARecordingInOrderAndSavesTheSettings)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        // The program in a folder of its own with its tray pictures, so its set.ini is the test's.
        fakes::TempFolder folder;
        const std::string program = folder.File("kestrune");
        std::filesystem::copy_file(KESTRUNE_PROGRAM, program);
        folder.CopyTrayIcons();
        const std::string input = folder.File("capture-input.raw");
        fakes::WriteRawPcm(input, fakes::MakeSine(44100, 2, 30, 1000, 0.5));
        const std::string target = folder.File("new/take.wav");
        fakes::WriteWholeFile(folder.File("set.ini"), "[set]\nRecordType=0\n[WMA]\nUse=0\n");

        std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=disk",
            "SDL_DISKAUDIOFILEIN=" + input, "HOME=" + folder.Path()};
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("QT_QPA_PLATFORM=", 0) && entry.rfind("SDL_", 0) && entry.rfind("HOME=", 0))
                env.push_back(entry);
        }
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string arg0 = program, arg1 = target;
        char* argv[] = {arg0.data(), arg1.data(), nullptr};
        // What the program says goes to a file of the test's, for the failure message.
        const std::string log = folder.File("kestrune.log");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(spawned, 0);
        // However the test ends, the program does not outlive it.
        struct Reaper {
            pid_t& pid;
            ~Reaper()
            {
                if (pid > 0) {
                    kill(pid, SIGKILL);
                    waitpid(pid, nullptr, 0);
                }
            }
        } reaper{child};

        // Recording once the file grows past its header; then two seconds of it.
        const auto deadline = Clock::now() + 15s;
        std::error_code ec;
        while (Clock::now() < deadline && !(std::filesystem::file_size(target, ec) > 44 && !ec))
            std::this_thread::sleep_for(20ms);
        ASSERT_LT(Clock::now(), deadline) << "the program did not start recording: " << fakes::ReadWholeFile(log);
        const auto recordingSeen = Clock::now();
        std::this_thread::sleep_for(2000ms);
        const double recorded = std::chrono::duration<double>(Clock::now() - recordingSeen).count();

        ASSERT_EQ(kill(child, signal), 0);
        const auto signalled = Clock::now();
        int status = 0;
        const bool ended = WaitFor(child, 5000ms, status);
        ASSERT_TRUE(ended) << "still running 5 s after the signal: " << fakes::ReadWholeFile(log);
        child = 0;
        EXPECT_LT(Clock::now() - signalled, 2000ms);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal, not in order";
        EXPECT_EQ(WEXITSTATUS(status), 0);

        // The file is complete: its header counts every byte, and it holds the time recorded.
        const auto size = std::filesystem::file_size(target);
        const std::string bytes = fakes::ReadWholeFile(target);
        ASSERT_GE(bytes.size(), 80u);
        uint32_t dataSize = 0;
        std::memcpy(&dataSize, bytes.data() + 76, 4);
        EXPECT_EQ(dataSize + 80u, size);
        const auto audio = fakes::DecodeAudioFile(target);
        ASSERT_TRUE(audio.ok) << audio.error;
        EXPECT_GE(audio.Seconds(), recorded - 0.2);
        EXPECT_LE(audio.Seconds(), recorded + 1.0);
        EXPECT_NE(fakes::ReadWholeFile(folder.File("set.ini")).find("[set]"), std::string::npos)
            << "set.ini was not written";
    }
}

} // namespace
