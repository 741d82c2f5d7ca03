// The level meters: segmented bars and dB labels from WM_LEVEL, the automatic pause and
// resume on the left level, and the automatic stop after a set duration.
#include "Meters.h"

#include "app/Kestrune.h"
#include "framework/RepaintPacer.h"
#include "platform/TickCount.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

constexpr uint32_t UnlitBackground = 0x505050;
constexpr uint32_t UnlitCell = 0x323232;
constexpr uint32_t UnlitLoudCell = 0x000060; // columns 66 to 75: -5 dB and louder
constexpr int32_t LoudColumn = 66;

// The lit colour of column j is entry j / 4.
constexpr uint32_t LitCells[20] = {0x088618, 0x009629, 0x089E31, 0x10B639, 0x10BE31, 0x10CF29, 0x11DF42, 0x19DF6B,
    0x21DF94, 0x29DFBD, 0x33DAC6, 0x2AC8CE, 0x21B6D6, 0x18A6DE, 0x088DC6, 0x0883C6, 0x0879C6, 0x0071D6, 0x0065D6,
    0x0059D6};

constexpr uint32_t LabelTickMs = 200; // the "L:" and "R:" texts change at most this often
// The bars move at most about 30 times a second, as smooth to the eye as every refresh: an
// input that hands over small fragments (SDL's, a playback's buffers) repaints no more often
// than the server's 40 ms fragments do.
constexpr uint32_t MeterRepaintMs = 30;

// The last column lies just past the picture's right edge (3 x 76 = 228): cut there.
void FillCells(QImage& image, int32_t column, QColor colour)
{
    for (int row = 0; row < 2; ++row)
        for (int y = 3 * row + 1; y < 3 * row + 3; ++y)
            for (int x = 3 * column; x < std::min(3 * column + 2, image.width()); ++x)
                image.setPixelColor(x, y, colour);
}

QImage MeterImage(uint32_t fill)
{
    QImage image(MeterWidth, MeterHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(ColorRefToColor(fill));
    return image;
}

// Copies the leftmost columns of pixels from one meter picture to another of the same size.
void CopyStrip(const QImage& from, QImage& to, int32_t width)
{
    width = std::clamp(width, 0, std::min(from.width(), to.width()));
    const size_t bytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < std::min(from.height(), to.height()); ++y)
        std::memcpy(to.scanLine(y), from.constScanLine(y), bytes);
}

std::string DbText(const char* prefix, int32_t levelDb)
{
    return prefix + std::to_string(levelDb) + "db";
}

QColor LabelColour(int32_t levelDb)
{
    return LoudLevel(levelDb) ? QColor(Qt::red) : QColor(Qt::black);
}

} // namespace

QColor ColorRefToColor(uint32_t colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int32_t LevelDb(int64_t value)
{
    if (value <= 0)
        return -76;
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int32_t>(std::nearbyint(20.0 * std::log10(static_cast<double>(value) / 32768.0)));
}

int32_t NextBar(int32_t bar, int32_t levelDb)
{
    const int32_t target = 2 * levelDb + 76;
    const int32_t next = bar > target ? (bar <= 1 ? 0 : bar - 1) : target;
    // A level above full scale would light more columns than the meter has.
    return std::min(next, MeterColumns - 1);
}

uint32_t LevelPercent(uint32_t value)
{
    return (value * 100u) >> 15;
}

bool LoudLevel(int32_t levelDb)
{
    return levelDb >= -5;
}

QImage MakeUnlitMeter()
{
    QImage unlit = MeterImage(UnlitBackground);
    for (int32_t j = 0; j < MeterColumns - 1; ++j)
        FillCells(unlit, j, ColorRefToColor(j < LoudColumn ? UnlitCell : UnlitLoudCell));
    return unlit;
}

QImage MakeLitMeter(const QImage& unlit)
{
    QImage lit = MeterImage(0);
    CopyStrip(unlit, lit, MeterWidth);
    for (int32_t j = 0; j < MeterColumns; ++j)
        FillCells(lit, j, ColorRefToColor(LitCells[j / 4]));
    return lit;
}

// ---- The window's meters -------------------------------------------------------------------

void TKestrune::CreateMeterBitmaps()
{
    Meters.WorkSurface = MeterImage(0);
    Meters.Unlit = MakeUnlitMeter();
    Meters.Lit = MakeLitMeter(Meters.Unlit);
    // The meters' pictures cover them with opaque pixels: nothing beneath needs painting.
    imleft->setAttribute(Qt::WA_OpaquePaintEvent);
    imright->setAttribute(Qt::WA_OpaquePaintEvent);
    if (!Meters.Repaints) {
        Meters.Repaints = new framework::TRepaintPacer(this, MeterRepaintMs, "MeterRepaints");
        // The reels and the time digits change at their own tick; paced with the meters, what
        // they show mostly goes out in the meters' next paint instead of a paint of its own.
        const std::initializer_list<framework::TControl*> paced{lbleftdb, lbrightdb, lbMaxL, lbMaxR, tb1, tb2};
        for (framework::TControl* control : paced)
            control->SetRepaintPacer(Meters.Repaints);
        for (framework::TControl* digit : Digits())
            digit->SetRepaintPacer(Meters.Repaints);
    }
}

void TKestrune::FreeMeterBitmaps()
{
    Meters.WorkSurface = QImage();
    Meters.Unlit = QImage();
    Meters.Lit = QImage();
}

void TKestrune::ClearMeterSurface()
{
    CopyStrip(Meters.Unlit, Meters.WorkSurface, MeterWidth);
}

void TKestrune::DrawMeterBar(int32_t columns)
{
    CopyStrip(Meters.Lit, Meters.WorkSurface, 3 * columns + 2);
}

void TKestrune::CopyMeterSurface(framework::TImage& meter)
{
    // The meter's picture is made at the work surface's size once; later copies reuse it.
    QImage& picture = meter.Canvas();
    if (picture.size() != Meters.WorkSurface.size() || picture.format() != Meters.WorkSurface.format())
        picture = QImage(Meters.WorkSurface.size(), Meters.WorkSurface.format());
    CopyStrip(Meters.WorkSurface, picture, Meters.WorkSurface.width());
}

void TKestrune::ResetMeters()
{
    if (!Meters.Unlit.isNull()) {
        ClearMeterSurface();
        CopyMeterSurface(*imleft);
        CopyMeterSurface(*imright);
    }
    Meters.DrawnLeftBar = Meters.DrawnRightBar = -1;
    update();
    lbleftdb->SetCaption("L:0db");
    lbrightdb->SetCaption("R:0db");
    lbMaxL->SetCaption("MaxL:0db");
    lbMaxR->SetCaption("MaxR:0db");
    lbMaxL->SetFontColor(Qt::black);
    lbMaxR->SetFontColor(Qt::black);
    Meters.MaxLeftDb = 0;
    Meters.MaxRightDb = 0;
    // A new recording never starts with a stale bar or a red label.
    Meters.LeftBar = 0;
    Meters.RightBar = 0;
    lbleftdb->SetFontColor(Qt::black);
    lbrightdb->SetFontColor(Qt::black);
}

void TKestrune::WMLevel(framework::TMessage& message)
{
    if (!State.Recording && !State.Playing)
        return;
    // The meters and their labels go out in one repaint, at the screen's pace at most.
    const framework::TRepaintPacer::Batch together(Meters.Repaints);
    const uint32_t now = platform::GetTickCount();
    const uint32_t left = static_cast<uint32_t>(std::min<uintptr_t>(message.WParam, UINT32_MAX));
    const int64_t right = message.LParam;

    // Automatic pause and resume listen to the left channel only.
    if (State.AutoPauseArmed && State.Recording) {
        const int64_t percent = LevelPercent(left);
        if (!State.Paused) {
            if (percent >= Settings.AutoPause.LowerLevel)
                State.QuietSince = 0;
            else if (State.QuietSince == 0)
                State.QuietSince = now;
            else if ((now - State.QuietSince) / 1000 >= static_cast<int64_t>(Settings.AutoPause.LowerTime))
                PauseOrResume(false);
        } else if (percent >= Settings.AutoPause.LouderLevel) {
            PauseOrResume(false);
        }
    }

    const bool labelsDue = now - Meters.LastLabelTick >= LabelTickMs;
    if (labelsDue)
        Meters.LastLabelTick = now;

    struct Channel {
        int64_t value;
        int32_t& maxDb;
        int32_t& bar;
        int32_t& drawnBar;
        framework::TLabel* maxLabel;
        const char* maxPrefix;
        framework::TLabel* label;
        const char* prefix;
        framework::TImage* meter;
    };
    const Channel channels[2] = {
        {left, Meters.MaxLeftDb, Meters.LeftBar, Meters.DrawnLeftBar, lbMaxL, "MaxL:", lbleftdb, "L:", imleft},
        {right, Meters.MaxRightDb, Meters.RightBar, Meters.DrawnRightBar, lbMaxR, "MaxR:", lbrightdb, "R:", imright},
    };
    // Once the window has closed there are no meter pictures to compose with.
    const bool drawable = !Meters.Unlit.isNull();
    for (const Channel& c : channels) {
        const int32_t level = LevelDb(c.value);
        if (level > c.maxDb || c.maxDb == 0) {
            c.maxDb = level;
            c.maxLabel->SetCaption(DbText(c.maxPrefix, level));
            c.maxLabel->SetFontColor(LabelColour(level));
        }
        if (labelsDue) {
            c.label->SetCaption(DbText(c.prefix, level));
            c.label->SetFontColor(LabelColour(level));
        }
        c.bar = NextBar(c.bar, level);
        // The picture is composed and repainted only when its bar moved: a steady level
        // shows a still meter and costs no paint.
        if (drawable && c.bar != c.drawnBar) {
            ClearMeterSurface();
            DrawMeterBar(c.bar);
            CopyMeterSurface(*c.meter);
            c.drawnBar = c.bar;
            Meters.Repaints->Invalidate(c.meter);
        }
    }
}

bool TKestrune::AutoStopReached()
{
    const AutoStopSettings& stop = Settings.AutoStop;
    if (!stop.Enable)
        return false;
    const auto limit = static_cast<uint32_t>(int64_t{stop.Hour} * 3600 + int64_t{stop.Minute} * 60 + stop.Second);
    if (State.ElapsedSec < limit)
        return false;
    btnStopClick();
    return true;
}
