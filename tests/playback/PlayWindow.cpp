// The main window playing a file through the real wave output, driven by a timed list of its
// own commands, for the tests and the benchmark that listen to a real sound server.
//
// Usage: play_window FILE [COMMAND@SECONDS ...]
//   COMMAND: play (the Play button: play, pause or resume), stop, seek:MS (the knob dropped at
//   MS and released), quit. SECONDS count from the start of the program's loop.
// With no command quits when the playback has ended by itself; "quit" ends it earlier.
// Prints "epoch <seconds>" first (the system clock at second 0, to place the commands among
// other programs' times), "<seconds> <command>" (monotonic, three decimals) as each runs and
// "<seconds> position <ms>" (PositionMs) once it has run, "<seconds> ended" when the window
// returns to the ready state, and the final PositionMs. Runs offscreen; its
// set.ini lives in a temporary folder, with the tray pictures. Exit: 0 done, 1 bad arguments.
#include "app/Kestrune.h"
#include "framework/Application.h"
#include "platform/Paths.h"
#include "playback/SeekBar.h"
#include "playback/mp3io.h"
#include "recording/RecordIO.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
struct Command {
    std::string what;
    double at = 0;
};
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: play_window FILE [COMMAND@SECONDS ...]\n");
        return 1;
    }
    std::vector<Command> commands;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t at = arg.find('@');
        if (at == std::string::npos) {
            std::fprintf(stderr, "play_window: '%s' is not COMMAND@SECONDS\n", argv[i]);
            return 1;
        }
        commands.push_back({arg.substr(0, at), std::atof(arg.c_str() + at + 1)});
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    QTemporaryDir folder;
    // The tray pictures go along: playing loads them.
    for (const char* icon : {"ti.ico", "ti_rec.ico", "ti_rec_p.ico", "ti_play.ico", "ti_play_p.ico"})
        QFile::copy(QString::fromStdString(platform::ExeFolder()) + icon, folder.filePath(icon));
    platform::SetExeFolderOverride(folder.path().toStdString());
    BindRecordEngine();
    RecordingQueue queue;
    TKestrune window(queue);
    SetReaderLevelTarget(&window);
    window.show();
    window.Session->State.TargetFile = argv[1];

    QElapsedTimer clock;
    clock.start();
    std::printf("epoch %.6f\n",
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count());
    const auto now = [&] { return static_cast<double>(clock.nsecsElapsed()) / 1e9; };
    bool played = false;
    bool wasPlaying = false;
    size_t next = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        // Fine steps only just before a command is due, and slow ones once only the end is
        // awaited: the benchmark measures the window's CPU, not this loop's.
        const bool waiting = next < commands.size();
        tick.setInterval(waiting && commands[next].at - now() < 0.05 ? 2 : waiting ? 20 : 100);
        const bool open = window.Playback->Open();
        if (wasPlaying && !open) {
            std::printf("%.3f ended\n", now());
            std::fflush(stdout);
            if (next >= commands.size())
                qtApp.quit();
        }
        wasPlaying = open;
        if (next >= commands.size())
            return;
        const Command& c = commands[next];
        if (now() < c.at)
            return;
        ++next;
        std::printf("%.3f %s\n", now(), c.what.c_str());
        std::fflush(stdout);
        if (c.what == "play") {
            window.tbPlayItClick();
            played = true;
        } else if (c.what == "stop") {
            window.tbStopPlaybackClick();
        } else if (c.what.rfind("seek:", 0) == 0) {
            const int32_t ms = std::atoi(c.what.c_str() + 5);
            window.imTrackButtonMouseDown(framework::TMouseButton::Left, {}, 0, 0);
            window.imTrackButton->move(
                KnobLeftFor(ms, window.Playback->FileInfo.DurationMs, window.Playback->SeekBar.TrackLeft, window.Playback->SeekBar.TrackRight),
                window.imTrackButton->Top());
            window.imTrackButtonMouseUp(framework::TMouseButton::Left, {}, 0, 0);
        } else if (c.what == "quit") {
            qtApp.quit();
        }
        std::printf("%.3f position %d\n", now(), window.Playback->State.PositionMs);
        std::fflush(stdout);
        wasPlaying = window.Playback->Open();
    });
    tick.start();
    if (commands.empty()) {
        window.tbPlayItClick();
        played = true;
        wasPlaying = true;
        std::printf("%.3f play\n", now());
    }
    qtApp.exec();
    std::printf("position %d\n", window.Playback->State.PositionMs);
    SetReaderLevelTarget(nullptr);
    return played ? 0 : 1;
}
