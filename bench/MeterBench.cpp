// How long the level handler takes per message, without the repaint that follows when the
// window next paints: the median over runs of a steady stream of messages whose levels rise
// and fall, as a recording delivers them.
//
//   meter_bench [MESSAGES_PER_RUN] [RUNS]
//       Prints "<median microseconds per message>" on stdout, the runs' spread on stderr.
#include "app/Kestrune.h"
#include "framework/Application.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int messages = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 15;

    // A folder of its own, so that no set.ini of the build is read or written.
    const QString folder = QDir::temp().filePath("kestrune-meter-bench");
    QDir().mkpath(folder);
    platform::SetExeFolderOverride(folder.toStdString() + "/");
    RecordingQueue queue;
    TKestrune window(queue);
    window.Session->State.Recording = true; // levels count while recording
    // The automatic pause's test runs on every message, but never pauses (no engine here).
    window.Settings.AutoPause.Enable = true;
    window.Settings.AutoPause.LowerTime = 1000000;
    window.Session->State.AutoPauseArmed = true;

    // Levels sweeping from silence to full scale and back, both channels.
    std::vector<uintptr_t> levels;
    for (int i = 0; i < 256; ++i)
        levels.push_back(static_cast<uintptr_t>(i < 128 ? i * 256 : (255 - i) * 256));

    std::vector<double> perMessage;
    framework::TMessage message;
    message.Msg = framework::WM_LEVEL;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < messages; ++i) {
            message.WParam = levels[static_cast<size_t>(i) % levels.size()];
            message.LParam = static_cast<intptr_t>(levels[static_cast<size_t>(i + 64) % levels.size()]);
            window.WMLevel(message);
        }
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        perMessage.push_back(took.count() / messages);
    }
    std::sort(perMessage.begin(), perMessage.end());
    std::printf("%.3f\n", perMessage[perMessage.size() / 2]);
    std::fprintf(stderr, "WM_LEVEL: %d runs of %d messages, microseconds per message: min %.3f, median %.3f, max %.3f\n",
        runs, messages, perMessage.front(), perMessage[perMessage.size() / 2], perMessage.back());
    window.Session->State.Recording = false;
    QDir(folder).removeRecursively();
    return 0;
}
