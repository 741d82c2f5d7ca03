#pragma once
// TKestrune: the main window, which is also the controller. It owns every state record of the
// program; its handlers live beside the subsystem they belong to.
//
// Sections:
//   1. Lifecycle (app/Kestrune.cpp, app/IdleRules.cpp): creation, the command-line start,
//      the idle rules, close query, close, exit, minimize.
//   2. Settings (settings/): the settings record and the program-wide queue.
//   3. Skin (app/Skin.cpp): the window's elements, image lists, timers and pop-up menu.
//   4. Display (app/Display.cpp): time digits, reels, status line, title, file name.
//   5. Title strip (app/TitleStrip.cpp): moving the window, the four glyph zones.
//   6. Recording session (recording/Session.cpp): start, pause, resume, stop, elapsed time.
//   7. File naming (recording/Naming.cpp): automatic names, the file selection.
//   8. Tray icon and window commands (app/Tray.cpp, app/WindowCommands.cpp): hiding to the
//      tray and back, its picture and tooltip; the mixer, help and the about box.
//   9. Schedule (schedule/Runner.cpp, schedule/QueueCommand.cpp): the due check that starts
//      queued recordings; the queue editor.
//  10. Level meters (recording/Meters.cpp): bars, dB labels, automatic pause, resume and stop.
//  11. Playback (playback/Playback.cpp, playback/SeekBar.cpp): play, pause, resume, stop, the
//      wave output's returned buffers, the seek bar.
#include "controls/IndexImage.h"
#include "controls/TransBtn.h"
#include "controls/TrayIcon.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/PopupMenu.h"
#include "framework/SaveDialog.h"
#include "framework/Timer.h"
#include "platform/WaveOut.h"
#include "playback/AudioFileInfo.h"
#include "recording/LevelMeterState.h"
#include "recording/RecorderState.h"
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <array>
#include <memory>
#include <cstdint>
#include <string>

class TKestrune : public framework::TForm {
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

    RecorderSettings Settings;
    RecordingQueue& Queue;
    RecorderState State;
    AudioFileInfo FileInfo; // the target file's description (continuing, playback)

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

    // --- 4. Display ---------------------------------------------------------------------
    // Sets the six digit images to hh mm ss; every digit is set (and repainted) each time.
    void ShowElapsedTime(int32_t hours, int32_t minutes, int32_t seconds);
    // The digits for a number of whole seconds.
    void ShowElapsedSeconds(uint32_t seconds);
    // Reels turn from now on; the digits restart at 00 00 00.
    void StartReelAnimation();
    void StopReelAnimation();
    // Every 200 ms while the reels turn: both step to their next frame, in step.
    void tmRecordCircleTimer();
    void ShowStatus(const std::string& text);
    // The application title, the text of the taskbar entry.
    void ShowTitle(const std::string& text);
    // The label shows the path shortened to fit, its hint the full path.
    void ShowFileName(const std::string& path);

    // --- 5. Title strip -----------------------------------------------------------------
    void imMainMouseDown(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseUp(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // --- 6. Recording session ------------------------------------------------------------
    void tbRecordClick();
    void tbPauseClick();
    void btnStopClick();
    void tbrecandpauseClick();
    void tmRecordTimeTimer();
    // Starts the engine into TargetFile with the configured format; false (after an error
    // box) when the engine refuses.
    bool StartRecording();
    // Title, tooltip, tray picture and status line of a running recording.
    void ShowRecordingStatus();
    // Pauses a running recording or resumes a paused one; manual is false for the automatic
    // pause and resume of the level watch.
    void PauseOrResume(bool manual);
    // After a stop: an error box when the recording lost sound (on standard error instead
    // while quitting on a signal).
    void ReportRecordingLoss(const std::string& path);
    // A playback exists (playing or paused): the play button shows its pause glyph.
    bool PlaybackOpen() const;

    // --- 7. File naming -------------------------------------------------------------------
    // The file selection command.
    void tbOpenClick();
    // A full path from the auto-name settings and the clock; empty when no part is chosen.
    // Creates the folder (throws "Unable to create directory" when it cannot).
    std::string MakeAutoFileName();
    // The path as lbFileName shows it, measured in its font.
    std::string ShortFileName(const std::string& path) const;

    // --- 8. Tray icon and window commands ---------------------------------------------------
    // Shown from the first hide to the tray until the window is shown again.
    TTrayIcon* TrayIcon1 = nullptr;
    // Loads one of the five pictures from the program's folder into TrayIcon1 (throws "Cannot
    // open file <path>" or "Icon image is not valid"); with refresh a shown icon is deleted
    // and added anew, so the picture shows at once.
    void LoadTrayIcon(const std::string& fileName, bool refresh);
    void SetTrayToolTip(const std::string& text);
    // The application title and the tray tooltip, in that order.
    void ShowTitleAndToolTip(const std::string& text);
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

    // --- 9. Schedule ---------------------------------------------------------------------
    // The queue editor, modal; the queue takes its changes when it is left by Close.
    void tbQueueClick();
    // Once a second, and at the end of every stop command: starts a queue entry that is due.
    void tmQueueTimer();
    framework::TTimer* tmQueue = nullptr;
    // A check is under way: a message box it shows lets the timer tick, and those ticks do nothing.
    bool QueueCheckRunning = false;
    // Entries whose start the engine refused, on the day of the date text (empty: none); they
    // are not tried again while they stay due that day.
    std::vector<QueueEntry> QueueRefusedEntries;
    std::string QueueRefusedDate;

    // --- 10. Level meters ---------------------------------------------------------------
    LevelMeterState Meters;
    // WM_LEVEL: wParam the left, lParam the right level, 0 (silence) to 32768 (full scale).
    void WMLevel(framework::TMessage& message);
    void CreateMeterBitmaps();
    void FreeMeterBitmaps();
    void ClearMeterSurface();
    // Columns 0 to columns of the lit meter into the work surface.
    void DrawMeterBar(int32_t columns);
    // The work surface onto one meter image.
    void CopyMeterSurface(framework::TImage& meter);
    // Blanks both meters, the labels back to 0 dB, the maxima cleared.
    void ResetMeters();
    // On the record-time tick: stops the recording when the set duration is reached; true
    // when it did.
    bool AutoStopReached();

    // --- 11. Playback -----------------------------------------------------------------------
    // Pause while playing, otherwise play or resume from PositionMs.
    void tbPlayItClick();
    // Stop: the ready state, position 0.
    void tbStopPlaybackClick();
    void PlayIt1Click();
    void StopPlayback1Click();
    // (Re)starts playback at posMs: opens the reader and the device and primes the buffers.
    void StartPlaybackAt(int32_t posMs);
    // Resets and closes the device, handling every buffer it hands back, closes the reader.
    void StopWaveOut();
    // MM_WOM_DONE: wParam the device, lParam the returned buffer's header.
    void MMWomDone(framework::TMessage& message);
    // Play button, menu entry, texts, position, meters and reels as when nothing plays.
    void ShowPlaybackReady();

    static constexpr int PlaybackBufferCount = 16;
    static constexpr uint32_t PlaybackBufferBytes = 8192;
    std::unique_ptr<platform::WaveOut> WaveOutHandle;
    // Slot i's bytes belong to header i for one playback; both are made when it starts.
    std::unique_ptr<uint8_t[]> PlaybackBuffers;
    std::array<std::unique_ptr<platform::WaveHeader>, PlaybackBufferCount> PlaybackHeaders;

    // The seek bar: the digits and the knob at PositionMs; PositionMs from the knob.
    void ShowPlayPosition();
    void PositionFromTrackButton();
    void imTrackButtonMouseDown(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void imTrackButtonMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void imTrackButtonMouseUp(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);

private:
    void CreateSkin();
    void CreatePopupMenu();
    void CreateTrayIcon();
    std::array<TIndexImage*, 6> Digits() const { return {n1, n2, n3, n4, n5, n6}; }
};
