#include "Kestrune.h"

#include "framework/Application.h"
#include "playback/wmaio.h"
#include "settings/SettingsStore.h"

namespace {
// Client size of the window, fixed: the skin is drawn for exactly this size.
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 210;
} // namespace

TKestrune::TKestrune(RecordingQueue& queue) : Queue(queue)
{
    setObjectName("Kestrune");
    setFixedSize(ClientWidth, ClientHeight);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(50, 50, 50));
    setPalette(palette);
    setAutoFillBackground(true);

    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this] { FormClose(); };
    framework::Application().SetMainForm(this);
    FormCreate();
}

void TKestrune::FormCreate()
{
    LoadSettings();
    LoadWmaLibrary();
    framework::Application().SetTitle("Kestrune");
}

void TKestrune::FormCloseQuery(bool& canClose)
{
    canClose = true;
}

void TKestrune::FormClose()
{
    SaveSettings();
}

void TKestrune::LoadSettings()
{
    ::LoadSettings(SettingsFilePath(), Settings, Queue);
}

void TKestrune::SaveSettings()
{
    ::SaveSettings(SettingsFilePath(), Settings, Queue);
}
