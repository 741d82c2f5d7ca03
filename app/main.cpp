// Program entry: the queue before the window, the application title, the window centred on
// the desktop, then the message loop until the window closes.
#include "Kestrune.h"

#include "framework/Application.h"
#include "framework/HandlerGuard.h"
#include "platform/QuitSignals.h"
#include "playback/mp3io.h"
#include "recording/RecordIO.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr const char* Usage = "Usage: kestrune [FILE]\n"
                              "Records the sound input. With FILE, starts recording into it at once\n"
                              "(its folders are created) in the format the settings give.\n"
                              "\n"
                              "  --help     show this text and exit\n"
                              "  --version  show the version and exit\n"
                              "\n"
                              "The settings and the recording queue are kept in set.ini: beside the\n"
                              "program when its folder is writable or already holds one, otherwise in\n"
                              "$XDG_CONFIG_HOME/kestrune/ (~/.config/kestrune/). This copy uses\n";
} // namespace

int main(int argc, char** argv)
{
    // Answered before any window or display is needed.
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(Usage, stdout);
        std::printf("%s\n", SettingsFilePath().c_str());
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kestrune %s\n", KESTRUNE_VERSION);
        return 0;
    }

    // On X11 the window repaints a few small rectangles (the meters) dozens of times a second.
    // Through shared memory each of those paints waits for a round trip to the X server
    // before it may draw; sending the few pixels with the request costs less. A user's own
    // choice of the setting stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication qtApp(argc, argv);
    BindRecordEngine();
    RecordingQueue queue;
    auto& app = framework::Application();
    // Qt has taken its own options out; the first of what remains names the target file.
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        app.Params.push_back(argument.toStdString());
    app.SetTitle("Kestrune");
    app.InstallIdleHook();

    std::unique_ptr<TKestrune> window;
    // Watched before the window exists: a desktop may end the program as soon as its window
    // appears (the window is made visible to it while being built), and a signal then must
    // still save the settings. What arrives early is handled once the event loop runs.
    platform::WatchQuitSignals([&window](int signal) {
        if (window)
            framework::Guarded([&] { window->QuitOnSignal(signal); });
    });
    framework::Guarded([&] { window = std::make_unique<TKestrune>(queue); });
    if (!window)
        return 1;
    // The window may be hidden in the tray while boxes and the tray's own windows come and go:
    // only the window's own close ends the program, also when saving set.ini fails.
    qtApp.setQuitOnLastWindowClosed(false);
    window->OnClose = [formClose = window->OnClose] {
        struct QuitAfter {
            ~QuitAfter() { QCoreApplication::exit(0); }
        } quitAfter;
        formClose();
    };
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    SetLevelTarget(window.get());
    SetReaderLevelTarget(window.get());
    window->show();
    const int result = qtApp.exec();
    // No level may be posted to a window that is going away.
    SetLevelTarget(nullptr);
    SetReaderLevelTarget(nullptr);
    RecordIO.StopRecord();
    return result;
}
