// Program entry: the queue before the window, the application title, the window centred on
// the desktop, then the message loop until the window closes.
#include "Kestrune.h"

#include "framework/Application.h"
#include "framework/HandlerGuard.h"
#include "playback/mp3io.h"
#include "recording/RecordIO.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <memory>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    BindRecordEngine();
    RecordingQueue queue;
    auto& app = framework::Application();
    app.SetTitle("Kestrune");
    app.InstallIdleHook();

    std::unique_ptr<TKestrune> window;
    framework::Guarded([&] { window = std::make_unique<TKestrune>(queue); });
    if (!window)
        return 1;
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
