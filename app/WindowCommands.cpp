// The small commands of the window: the mixer, the settings and queue dialogs, help and the
// about box.
#include "AboutDialog.h"
#include "Kestrune.h"

#include "framework/Application.h"
#include "framework/Messages.h"
#include "framework/Shell.h"
#include "platform/InputLevelWatch.h"
#include "platform/Paths.h"
#include "recording/RecordIO.h"
#include "schedule/QueueDialog.h"
#include "settings/SettingDialog.h"

void TKestrune::btnMixerClick()
{
    // The input devices' page of the desktop's volume control; where there is none, our own
    // choice of input with its levels.
    const std::string mixer = framework::FindProgram("pavucontrol");
    if (!mixer.empty())
        framework::ShellStart(mixer, {"--tab=4"});
    else
        ShowSettings("Input");
}

void TKestrune::Help1Click()
{
    const std::string help = platform::ExeFolder() + "help.html";
    if (!framework::ShellOpen(help))
        framework::Application().MessageBox("No program of this desktop opens web pages. The help is " + help + ".",
            "Help", framework::MB_OK | framework::MB_ICONINFORMATION);
}

void TKestrune::About1Click()
{
    TfmAbout dialog(this);
    dialog.ShowModal();
}

void TKestrune::tbSetClick()
{
    ShowSettings(nullptr);
}

void TKestrune::ShowSettings(const char* page)
{
    TfmSet dialog(this, Settings, RecordIO.EnumWMAFormat, &platform::OpenServerLevelWatch);
    if (page)
        dialog.ShowPage(page);
    dialog.ShowModal();
}

void TKestrune::tbQueueClick()
{
    TfmQueue dialog(this, Queue, *SaveDialog1);
    dialog.ShowModal();
}
