// Hiding to the tray and back, and the tray icon's picture and tooltip.
#include "Kestrune.h"

#include "framework/Application.h"
#include "platform/Paths.h"

void TKestrune::CreateTrayIcon()
{
    TrayIcon1 = new TTrayIcon(this, "TrayIcon1");
    TrayIcon1->PopupMenu = PopupMenu1;
    TrayIcon1->OnDblClick = [this] { TrayIcon1DblClick(); };
}

void TKestrune::LoadTrayIcon(const std::string& fileName, bool refresh)
{
    // Loaded when the picture changes, not at every record-time tick. A picture that cannot be
    // loaded is told once, after the command that asked for it: the command (a stop, the tick
    // with the queue's length check) goes on to its end, and the old picture stays.
    if (fileName != TrayIconFile) {
        TrayIconFile = fileName;
        try {
            TrayIcon1->Icon().LoadFromFile(platform::ExeFolder() + fileName);
        } catch (const std::exception& e) {
            QMetaObject::invokeMethod(
                this, [text = std::string(e.what())] { framework::Application().ShowException(text); },
                Qt::QueuedConnection);
        }
    }
    if (refresh && TrayIcon1->Active()) {
        TrayIcon1->SetActive(false);
        TrayIcon1->SetActive(true);
    }
}

void TKestrune::SetTrayToolTip(const std::string& text)
{
    TrayIcon1->SetToolTip(text);
}

void TKestrune::ShowTitleAndToolTip(const std::string& text)
{
    ShowTitle(text);
    SetTrayToolTip(text);
}

void TKestrune::HidetoTrayIcon1Click()
{
    // Loaded again whatever was shown before: a picture that cannot be shown stops the command.
    TrayIcon1->Icon().LoadFromFile(platform::ExeFolder() + "ti.ico");
    TrayIconFile = "ti.ico";
    // Without a notification area a hidden window could not be brought back.
    if (!TrayIcon1->AreaAvailable()) {
        Minimize1Click();
        return;
    }
    TrayIcon1->SetToolTip("Kestrune");
    TrayIcon1->SetActive(true);
    hide();
}

void TKestrune::TrayIcon1DblClick()
{
    TrayIcon1->SetActive(false);
    // A window minimized before it went to the tray would come back minimized, out of reach
    // where there is no taskbar.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TKestrune::RestorefromTrayIcon1Click()
{
    TrayIcon1DblClick();
}
