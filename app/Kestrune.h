#pragma once
// TKestrune: the main window, which is also the controller. It owns every state record of the
// program; its handlers live beside the subsystem they belong to.
//
// Sections:
//   1. Lifecycle (app/Kestrune.cpp): creation, close query, close, exit, minimize.
//   2. Settings (settings/): the settings record and the program-wide queue.
//   3. Skin (app/Skin.cpp): the window's elements, image lists, timers and pop-up menu.
//   4. Display (app/Display.cpp): time digits, reels, status line, title, file name.
//   5. Title strip (app/TitleStrip.cpp): moving the window, the four glyph zones.
//   6. Commands of the subsystems still to come (app/PendingCommands.cpp).
#include "controls/IndexImage.h"
#include "controls/TransBtn.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/PopupMenu.h"
#include "framework/Timer.h"
#include "recording/RecorderState.h"
#include "settings/RecorderSettings.h"
#include "settings/RecordingQueue.h"

#include <array>
#include <cstdint>
#include <string>

class TKestrune : public framework::TForm {
    Q_OBJECT
public:
    // The queue is the program's one list, created before the window and outliving it.
    explicit TKestrune(RecordingQueue& queue);

    // --- 1. Lifecycle -------------------------------------------------------------------
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void Exit1Click();
    void Minimize1Click();

    // --- 2. Settings --------------------------------------------------------------------
    void LoadSettings();
    void SaveSettings();

    RecorderSettings Settings;
    RecordingQueue& Queue;
    RecorderState State;

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
    // Reels turn from now on; the digits restart at 00 00 00.
    void StartReelAnimation();
    void StopReelAnimation();
    // Every 200 ms while the reels turn: both step to their next frame, in step.
    void tmRecordCircleTimer();
    void ShowStatus(const std::string& text);
    // The application title, the text of the taskbar entry.
    void ShowTitle(const std::string& text);
    // The label shows the path, its hint the full path.
    void ShowFileName(const std::string& path);

    // --- 5. Title strip -----------------------------------------------------------------
    void imMainMouseDown(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void imMainMouseUp(framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // --- 6. Commands of the subsystems still to come ------------------------------------
    void tbOpenClick();
    void tbRecordClick();
    void tbPauseClick();
    void btnStopClick();
    void tbrecandpauseClick();
    void tbPlayItClick();
    void tbStopPlaybackClick();
    void PlayIt1Click();
    void StopPlayback1Click();
    void btnMixerClick();
    void tbQueueClick();
    void tbSetClick();
    void Help1Click();
    void About1Click();
    void HidetoTrayIcon1Click();
    void RestorefromTrayIcon1Click();

private:
    void CreateSkin();
    void CreatePopupMenu();
    std::array<TIndexImage*, 6> Digits() const { return {n1, n2, n3, n4, n5, n6}; }
};
