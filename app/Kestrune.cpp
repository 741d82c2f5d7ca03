#include "Kestrune.h"

#include "framework/Application.h"
#include "playback/wmaio.h"
#include "settings/SettingsStore.h"

#include <QIcon>

namespace {
// Client size of the window, fixed: the skin is drawn for exactly this size.
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 210;
} // namespace

TKestrune::TKestrune(RecordingQueue& queue) : Queue(queue)
{
    setObjectName("Kestrune");
    // The skin draws its own title strip: no frame, no caption bar of the system's.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(ClientWidth, ClientHeight);
    setWindowIcon(QIcon(":/skin/logo.png"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(50, 50, 50));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(framework::SkinFont());

    CreateSkin();
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this] { FormClose(); };
    framework::Application().SetMainForm(this);
    FormCreate();
}

void TKestrune::FormCreate()
{
    LoadSettings();
    LoadWmaLibrary();
    ShowFileName("[null]");
    framework::Application().SetTitle("Kestrune");
    ShowStatus("Ready for your command ...");
}

void TKestrune::FormCloseQuery(bool& canClose)
{
    canClose = true;
}

void TKestrune::FormClose()
{
    SaveSettings();
}

void TKestrune::Exit1Click()
{
    Close();
}

void TKestrune::Minimize1Click()
{
    framework::Application().Minimize();
}

void TKestrune::LoadSettings()
{
    ::LoadSettings(SettingsFilePath(), Settings, Queue);
}

void TKestrune::SaveSettings()
{
    ::SaveSettings(SettingsFilePath(), Settings, Queue);
}
