#include "Kestrune.h"

#include <filesystem>

#include "framework/Application.h"
#include "framework/Messages.h"
#include "platform/Files.h"
#include "playback/wmaio.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QIcon>

namespace {
// Client size of the window, fixed: the skin is drawn for exactly this size.
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 210;
// Posted once at creation: the command-line start runs once the window is shown.
constexpr uint32_t WM_COMMANDLINE_START = framework::WM_USER + 10;
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
    CreateTrayIcon();
    CreateSubsystems();
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this] { FormClose(); };
    OnMessage(WM_COMMANDLINE_START, [this](framework::TMessage&) { CommandLineStart(); });
    OnMessage(framework::WM_LEVEL, [this](framework::TMessage& message) { WMLevel(message); });
    OnMessage(framework::WM_RECORD_EVENT, [this](framework::TMessage& message) { WMRecordEvent(message); });
    OnMessage(framework::MM_WOM_DONE, [this](framework::TMessage& message) { MMWomDone(message); });
    auto& app = framework::Application();
    app.SetMainForm(this);
    app.OnIdle = [this] { ApplicationEvents1Idle(); };
    FormCreate();
}

TKestrune::~TKestrune()
{
    // No returned buffer may be posted to a window that is going away: the playback closes
    // its output now, before the rest is taken down.
    Playback.reset();
    auto& app = framework::Application();
    app.OnIdle = nullptr;
    if (app.MainForm() == this)
        app.SetMainForm(nullptr);
}

void TKestrune::CreateSubsystems()
{
    Playback = std::make_unique<TPlayback>(*this, *this, *imTrackButton);
    Meters = std::make_unique<TLevelMeters>(*this, MeterControls{imleft, imright, lbleftdb, lbrightdb, lbMaxL, lbMaxR});
    Session = std::make_unique<TRecordingSession>(
        Settings, *Playback, *Meters, *this, *tmRecordTime, *SaveDialog1, *this);
    Runner = std::make_unique<TScheduleRunner>(Queue, Settings, *Session, *Playback, *this);
    // Every stop ends with a due check: a schedule goes on right after a recording.
    Session->AfterStop = [this] { tmQueueTimer(); };
    Playback->Recording = [this] { return Session->State.Recording; };
}

void TKestrune::FormCreate()
{
    LoadSettings();
    LoadWmaLibrary();
    // The seek knob travels between these Lefts.
    Playback->SeekBar.SetTrack(
        imTrackBar->Left(), imTrackBar->Left() + imTrackBar->Width() - imTrackButton->Width());
    lbFileName->SetCaption("[null]");
    lbFileName->SetHint("[null]");
    ShowTitle("Kestrune");
    ShowStatus("Ready for your command ...");
    PostMessage(WM_COMMANDLINE_START, 0, 0);
    tmQueue->SetEnabled(true);
    // Both meters start empty; the reels and the time digits change at their own tick, and
    // paced with the meters what they show mostly goes out in the meters' next paint.
    Meters->CreateMeterBitmaps({tb1, tb2, n1, n2, n3, n4, n5, n6});
    Meters->ClearMeterSurface();
    Meters->CopyMeterSurface(*imleft);
    Meters->CopyMeterSurface(*imright);
    update();
}

void TKestrune::CommandLineStart()
{
    const std::string named = framework::Application().ParamStr(1);
    if (named.empty())
        return;
    // A bare or relative name is in the folder the program was started from, as for every
    // command-line program.
    const std::string target = std::filesystem::absolute(named).lexically_normal().string();
    // The target is taken before its folder is made: a folder that cannot be made leaves it
    // the target, unshown, with nothing started.
    Session->State.TargetFile = target;
    platform::ForceDirectories(platform::ExtractFileDir(target));
    Session->ChooseTarget(target);
    // The named file is the target, automatic names or not.
    Session->Record(RecordTarget::AsChosen);
}

void TKestrune::FormCloseQuery(bool& canClose)
{
    canClose = true;
    if (!Session->State.Recording)
        return;
    const int answer = framework::Application().MessageBox("You are recording, Stop recording and Quit ?", "Confirm",
        framework::MB_YESNO | framework::MB_ICONQUESTION | framework::MB_DEFBUTTON1);
    if (answer != framework::IDYES) {
        canClose = false;
        return;
    }
    btnStopClick();
}

void TKestrune::FormClose()
{
    // The sound stops with the window.
    Playback->Interrupt();
    SaveSettings();
    Meters->FreeMeterBitmaps();
}

void TKestrune::Exit1Click()
{
    Close();
}

void TKestrune::QuitOnSignal(int)
{
    if (QuittingOnSignal)
        return;
    QuittingOnSignal = true;
    Runner->Halted = true;
    tmQueue->SetEnabled(false);
    btnStopClick();
    Close();
    // A dialog may be open, with its own loop: every loop ends, the window's too.
    QCoreApplication::exit(0);
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
    const std::string path = SettingsFilePath();
    // The configuration folder is made at the first save.
    platform::ForceDirectories(platform::ExtractFileDir(path));
    ::SaveSettings(path, Settings, Queue);
}
