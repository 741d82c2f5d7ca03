#pragma once
// What the subsystems (playback, the recording session, the schedule runner) show of what they
// do: the main window implements it, a test may fake it. Window thread only.
#include <cstdint>
#include <string>

// The play button: Play when no playback exists, Pause while one plays, Resume while one is
// paused. Pause and Resume share the pause glyph.
enum class PlayButtonLook { Play, Pause, Resume };

class RecorderView {
public:
    virtual ~RecorderView() = default;

    // The status line.
    virtual void ShowStatus(const std::string& text) = 0;
    // The application title (the taskbar entry's text) and the tray icon's tooltip.
    virtual void ShowTitleAndToolTip(const std::string& text) = 0;
    virtual void SetTrayToolTip(const std::string& text) = 0;
    // One of the five tray pictures of the program's folder; with refresh a shown icon shows
    // it at once. Throws when the picture cannot be loaded.
    virtual void LoadTrayIcon(const std::string& fileName, bool refresh) = 0;
    // The six time digits, hh mm ss.
    virtual void ShowElapsedTime(int32_t hours, int32_t minutes, int32_t seconds) = 0;
    virtual void ShowElapsedSeconds(uint32_t seconds) = 0;
    // The reels turn from now on and the digits restart at 00 00 00.
    virtual void StartReelAnimation() = 0;
    // The reels turn or stand, the digits as they are.
    virtual void TurnReels(bool turning) = 0;
    // The target's name, shortened to fit, with the full path as its hint; empty clears both.
    virtual void ShowFileName(const std::string& path) = 0;
    // The label's text alone, its hint as it was.
    virtual void ShowFileCaption(const std::string& path) = 0;
    // Both meters blank, their labels at 0 dB, the maxima cleared.
    virtual void ResetMeters() = 0;
    virtual void ShowPlayButton(PlayButtonLook look) = 0;
    // The pause button's hint: "Pause Recording" or "Resume Recording".
    virtual void ShowPauseHint(const std::string& hint) = 0;
    // What a stop found wrong: a box, or standard error while the program ends on a signal.
    virtual void ReportAfterStop(const std::string& text) = 0;
};
