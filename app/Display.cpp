// What the window shows: the time digits, the turning reels, the status line, the title, the
// file name, the meters and the play and pause buttons; the subsystems' view. A change only
// marks the element for repainting; the paint follows when the window thread next paints.
#include "Kestrune.h"

#include "framework/Application.h"
#include "recording/Naming.h"

#include <QFontMetrics>
#include <cstdio>

void TKestrune::ShowElapsedTime(int32_t hours, int32_t minutes, int32_t seconds)
{
    // hh mm ss; hours of 100 and more leave the first place blank (no image of index 10+).
    const int32_t values[6] = {hours / 10, hours % 10, minutes / 10, minutes % 10, seconds / 10, seconds % 10};
    const auto digits = Digits();
    for (size_t i = 0; i < digits.size(); ++i)
        digits[i]->SetImageIndex(values[i]);
}

void TKestrune::ShowElapsedSeconds(uint32_t seconds)
{
    ShowElapsedTime(static_cast<int32_t>(seconds / 3600), static_cast<int32_t>(seconds % 3600 / 60),
        static_cast<int32_t>(seconds % 60));
}

void TKestrune::StartReelAnimation()
{
    tmRecordCircle->SetEnabled(true);
    for (TIndexImage* digit : Digits())
        digit->SetImageIndex(0);
}

void TKestrune::StopReelAnimation()
{
    TurnReels(false);
}

void TKestrune::TurnReels(bool turning)
{
    tmRecordCircle->SetEnabled(turning);
}

void TKestrune::tmRecordCircleTimer()
{
    // Twelve frames a turn, both reels in step: one turn in 2.4 s.
    for (TIndexImage* reel : {tb1, tb2})
        reel->SetImageIndex(reel->ImageIndex() < 11 ? reel->ImageIndex() + 1 : 0);
}

void TKestrune::ShowStatus(const std::string& text)
{
    lbStatus->SetCaption(text);
}

void TKestrune::ShowTitle(const std::string& text)
{
    framework::Application().SetTitle(text);
}

void TKestrune::ShowFileName(const std::string& path)
{
    lbFileName->SetCaption(ShortFileName(path));
    lbFileName->SetHint(path);
}

void TKestrune::ShowFileCaption(const std::string& path)
{
    lbFileName->SetCaption(ShortFileName(path));
}

std::string TKestrune::ShortFileName(const std::string& path) const
{
    const QFontMetrics metrics(lbFileName->font());
    return ::ShortFileName(
        path, [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); },
        lbFileName->Width());
}

void TKestrune::ResetMeters()
{
    Meters->ResetMeters();
}

void TKestrune::ShowPlayButton(PlayButtonLook look)
{
    switch (look) {
    case PlayButtonLook::Play:
        tbPlayIt->SetImageIndex(3);
        tbPlayIt->SetHint("Play It");
        PlayIt1->SetCaption("Play It");
        break;
    case PlayButtonLook::Pause:
        tbPlayIt->SetImageIndex(4);
        PlayIt1->SetCaption("Pause Playback");
        tbPlayIt->SetHint("Pause");
        break;
    case PlayButtonLook::Resume:
        // The pause glyph stays: a playback still exists.
        tbPlayIt->SetHint("Resume");
        PlayIt1->SetCaption("Resume Playback");
        break;
    }
}

void TKestrune::ShowPauseHint(const std::string& hint)
{
    tbPause->SetHint(hint);
}

void TKestrune::ReportAfterStop(const std::string& text)
{
    if (QuittingOnSignal)
        std::fprintf(stderr, "kestrune: %s\n", text.c_str());
    else
        framework::ErrorBox(text);
}
