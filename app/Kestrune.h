#pragma once
// TKestrune: the main window. It owns the controls, the timers and the subsystems, wires them,
// and shows what they do (it is their RecorderView). Every handler of the behaviour keeps its
// name here as a one-line forwarder into the subsystem that owns it (app/Handlers.cpp).
//
// Sections:
//   1. Lifecycle (app/Kestrune.cpp, app/IdleRules.cpp): creation, the command-line start,
//      the idle rules, close query, close, exit, minimize.
//   2. Settings: the settings record and the program-wide queue; the settings dialog.
//   3. Skin (app/Skin.cpp): the window's elements, image lists, timers and pop-up menu.
//   4. Display (app/Display.cpp): time digits, reels, status line, title, file name, the
//      play and pause buttons' looks: the view the subsystems draw on.
//   5. Title strip (app/TitleStrip.cpp): moving the window, the four glyph zones.
//   6. Subsystems: the playback with its seek bar (playback/), the level meters and the
//      recording session (recording/), the schedule runner (schedule/).
//   7. The behaviour's handlers (app/Handlers.cpp), each forwarding to its subsystem.
//   8. Tray icon and window commands (app/Tray.cpp, app/WindowCommands.cpp): hiding to the
//      tray and back, its picture and tooltip; the mixer, settings, queue, help and about.
#include "TitleStrip.h"
#include "controls/IndexImage.h"
#include "controls/TransBtn.h"
#include "controls/TrayIcon.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/PopupMenu.h"
#include "framework/RecorderView.h"
#include "framework/SaveDialog.h"
#include "framework/Timer.h"
#include "playback/Playback.h"
#include "recording/Meters.h"
#include "recording/Session.h"
#include "schedule/Runner.h"
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TKestrune : public framework::TForm, public RecorderView {
    Q_OBJECT
public:
    // The queue is the program's one list, created before the window and outliving it.
    explicit TKestrune(RecordingQueue& queue);
    ~TKestrune() override;

    // --- 1. Lifecycle -------------------------------------------------------------------
    void FormCreate();
    // WM_USER + 10, posted once by FormCreate: records into the file named on the command line.
    void CommandLineStart();
    // Whenever the message queue has become empty: which commands are shown.
    void ApplicationEvents1Idle();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void Exit1Click();
    void Minimize1Click();
    // SIGTERM, SIGINT or SIGHUP: a running recording is stopped as by the stop command (no
    // question, no box), set.ini is saved and the program ends with status 0.
    void QuitOnSignal(int signal);
    // Set by QuitOnSignal: nothing new starts, and nothing waits for the user.
    bool QuittingOnSignal = false;

    // --- 2. Settings --------------------------------------------------------------------
    void LoadSettings();
    void SaveSettings();
    // The settings dialog, modal.
    void tbSetClick();
    // The settings dialog opened on the named page (null: as the dialog opens by itself).
    void ShowSettings(const char* page);

    RecorderSettings Settings;
    RecordingQueue& Queue;

    // --- 3. Skin: every element, bottom to top as created. Owned by the window. ----------
    framework::TImageList* imNum = nullptr;    // digits 0-9, 15 x 30
    framework::TImageList* imCircle = nullptr; // reel frames, 60 x 60, twelve per turn
    framework::TImageList* imIcon = nullptr;   // command glyphs, 20 x 20

    framework::TImage* imMain = nullptr;
    TIndexImage* n1 = nullptr;
    TIndexImage* n2 = nullptr;
    TIndexImage* n3 = nullptr;
    TIndexImage* n4 = nullptr;
    TIndexImage* n5 = nullptr;
    TIndexImage* n6 = nullptr;
    TIndexImage* tb1 = nullptr;
    TIndexImage* tb2 = nullptr;
    framework::TLabel* lbFileName = nullptr;
    TTransparentButton* tbOpen = nullptr;
    TTransparentButton* tbRec = nullptr;
    TTransparentButton* tbPause = nullptr;
    TTransparentButton* tbStop = nullptr;
    TTransparentButton* tbMixer = nullptr;
    TTransparentButton* tbSet = nullptr;
    TTransparentButton* tbQueue = nullptr;
    framework::TImage* Image1 = nullptr;
    framework::TLabel* lbStatus = nullptr;
    TTransparentButton* tbrecandpause = nullptr;
    framework::TImage* imleft = nullptr;
    framework::TImage* imright = nullptr;
    framework::TLabel* lbleftdb = nullptr;
    framework::TLabel* lbrightdb = nullptr;
    TTransparentButton* tbPlayIt = nullptr;
    TTransparentButton* tbStopPlayback = nullptr;
    framework::TImage* imTrackBar = nullptr;
    framework::TImage* imTrackButton = nullptr;
    framework::TLabel* lbMaxL = nullptr;
    framework::TLabel* lbMaxR = nullptr;

    framework::TTimer* tmRecordCircle = nullptr;
    framework::TTimer* tmRecordTime = nullptr;
    framework::TTimer* tmQueue = nullptr;
    framework::TSaveDialog* SaveDialog1 = nullptr;

    framework::TPopupMenu* PopupMenu1 = nullptr;
    framework::TMenuItem* SelectFile1 = nullptr;
    framework::TMenuItem* StartRecording1 = nullptr;
    framework::TMenuItem* PauseRecording1 = nullptr;
    framework::TMenuItem* Startandpauserecording1 = nullptr;
    framework::TMenuItem* StopRecording1 = nullptr;
    framework::TMenuItem* PlayIt1 = nullptr;
    framework::TMenuItem* StopPlayback1 = nullptr;
    framework::TMenuItem* Mixerdialog1 = nullptr;
    framework::TMenuItem* QueueRecording1 = nullptr;
    framework::TMenuItem* Setting1 = nullptr;
    framework::TMenuItem* Help1 = nullptr;
    framework::TMenuItem* About1 = nullptr;
    framework::TMenuItem* Minimize1 = nullptr;
    framework::TMenuItem* HidetoTrayIcon1 = nullptr;
    framework::TMenuItem* RestorefromTrayIcon1 = nullptr;
    framework::TMenuItem* Exit1 = nullptr;

    // --- 4. Display: the view of the subsystems, and the window's own ------------------------
    // Sets the six digit images to hh mm ss; every digit is set (and repainted) each time.
    void ShowElapsedTime(int32_t hours, int32_t minutes, int32_t seconds) override;
    // The digits for a number of whole seconds.
    void ShowElapsedSeconds(uint32_t seconds) override;
    // Reels turn from now on; the digits restart at 00 00 00.
    void StartReelAnimation() override;
    void StopReelAnimation();
    void TurnReels(bool turning) override;
    // Every 200 ms while the reels turn: both step to their next frame, in step.
    void tmRecordCircleTimer();
    void ShowStatus(const std::string& text) override;
    // The application title, the text of the taskbar entry.
    void ShowTitle(const std::string& text);
    // The label shows the path shortened to fit, its hint the full path.
    void ShowFileName(const std::string& path) override;
    void ShowFileCaption(const std::string& path) override;
    // The path as lbFileName shows it, measured in its font.
    std::string ShortFileName(const std::string& path) const;
    // Blanks both meters, the labels back to 0 dB, the maxima cleared.
    void ResetMeters() override;
    void ShowPlayButton(PlayButtonLook look) override;
    void ShowPauseHint(const std::string& hint) override;
    void ReportAfterStop(const std::string& text) override;

    // --- 5. Title strip -----------------------------------------------------------------
    void imMainMouseDown(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseUp(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    TitleDrag Drag;

    // --- 6. Subsystems, made with the window once its elements stand ----------------------
    std::unique_ptr<TPlayback> Playback;
    std::unique_ptr<TLevelMeters> Meters;
    std::unique_ptr<TRecordingSession> Session;
    std::unique_ptr<TScheduleRunner> Runner;

    // --- 7. The behaviour's handlers ----------------------------------------------------
    // Recording session
    void tbRecordClick();
    void tbPauseClick();
    void btnStopClick();
    void tbrecandpauseClick();
    void tmRecordTimeTimer();
    // The file selection command.
    void tbOpenClick();
    // WM_LEVEL: wParam the left, lParam the right level, 0 (silence) to 32768 (full scale).
    void WMLevel(framework::TMessage& message);
    // WM_RECORD_EVENT: wParam what happened to the running recording.
    void WMRecordEvent(framework::TMessage& message);
    // Schedule: once a second, and at the end of every stop command.
    void tmQueueTimer();
    // The queue editor, modal; the queue takes its changes when it is left by Close.
    void tbQueueClick();
    // Playback
    void tbPlayItClick();
    void tbStopPlaybackClick();
    void PlayIt1Click();
    void StopPlayback1Click();
    // MM_WOM_DONE: wParam the device, lParam the returned buffer's header.
    void MMWomDone(framework::TMessage& message);
    void ShowPlayPosition();
    void imTrackButtonMouseDown(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void imTrackButtonMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void imTrackButtonMouseUp(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // --- 8. Tray icon and window commands ---------------------------------------------------
    // Shown from the first hide to the tray until the window is shown again.
    TTrayIcon* TrayIcon1 = nullptr;
    // Loads one of the five pictures from the program's folder into TrayIcon1 (throws "Cannot
    // open file <path>" or "Icon image is not valid"); with refresh a shown icon is deleted
    // and added anew, so the picture shows at once.
    void LoadTrayIcon(const std::string& fileName, bool refresh) override;
    void SetTrayToolTip(const std::string& text) override;
    // The application title and the tray tooltip, in that order.
    void ShowTitleAndToolTip(const std::string& text) override;
    std::string TrayIconFile; // the picture last loaded
    // The window gives way to the tray icon (is minimized where the desktop has no tray).
    void HidetoTrayIcon1Click();
    // The icon goes, the window shows.
    void TrayIcon1DblClick();
    void RestorefromTrayIcon1Click();
    // The desktop's input-level control, when it has one.
    void btnMixerClick();
    // help.html from the program's folder, in the desktop's viewer.
    void Help1Click();
    // The about box, modal.
    void About1Click();

private:
    void CreateSkin();
    void CreatePopupMenu();
    void CreateTrayIcon();
    void CreateSubsystems();
    std::array<TIndexImage*, 6> Digits() const { return {n1, n2, n3, n4, n5, n6}; }
};
