// The level meters: segmented bars and dB labels from the levels, and the maxima so far.
#include "Meters.h"

#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/RepaintPacer.h"

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

TLevelMeters::TLevelMeters(QWidget& window, const MeterControls& controls) : window_(window), c_(controls) {}

void TLevelMeters::CreateMeterBitmaps(std::initializer_list<framework::TControl*> alsoPaced)
{
    State.WorkSurface = MeterImage(0);
    State.Unlit = MakeUnlitMeter();
    State.Lit = MakeLitMeter(State.Unlit);
    // The meters' pictures cover them with opaque pixels: nothing beneath needs painting.
    c_.Left->setAttribute(Qt::WA_OpaquePaintEvent);
    c_.Right->setAttribute(Qt::WA_OpaquePaintEvent);
    if (!State.Repaints) {
        State.Repaints = new framework::TRepaintPacer(&window_, MeterRepaintMs, "MeterRepaints");
        const std::initializer_list<framework::TControl*> labels{c_.LeftDb, c_.RightDb, c_.MaxLeft, c_.MaxRight};
        for (framework::TControl* control : labels)
            control->SetRepaintPacer(State.Repaints);
        for (framework::TControl* control : alsoPaced)
            control->SetRepaintPacer(State.Repaints);
    }
}

void TLevelMeters::FreeMeterBitmaps()
{
    State.WorkSurface = QImage();
    State.Unlit = QImage();
    State.Lit = QImage();
}

void TLevelMeters::ClearMeterSurface()
{
    CopyStrip(State.Unlit, State.WorkSurface, MeterWidth);
}

void TLevelMeters::DrawMeterBar(int32_t columns)
{
    CopyStrip(State.Lit, State.WorkSurface, 3 * columns + 2);
}

void TLevelMeters::CopyMeterSurface(framework::TImage& meter)
{
    // The meter's picture is made at the work surface's size once; later copies reuse it.
    QImage& picture = meter.Canvas();
    if (picture.size() != State.WorkSurface.size() || picture.format() != State.WorkSurface.format())
        picture = QImage(State.WorkSurface.size(), State.WorkSurface.format());
    CopyStrip(State.WorkSurface, picture, State.WorkSurface.width());
}

void TLevelMeters::ResetMeters()
{
    if (!State.Unlit.isNull()) {
        ClearMeterSurface();
        CopyMeterSurface(*c_.Left);
        CopyMeterSurface(*c_.Right);
        // The meters are repainted only when they are told so themselves, as the levels do.
        c_.Left->Invalidate();
        c_.Right->Invalidate();
    }
    State.DrawnLeftBar = State.DrawnRightBar = -1;
    window_.update();
    c_.LeftDb->SetCaption("L:0db");
    c_.RightDb->SetCaption("R:0db");
    c_.MaxLeft->SetCaption("MaxL:0db");
    c_.MaxRight->SetCaption("MaxR:0db");
    c_.MaxLeft->SetFontColor(Qt::black);
    c_.MaxRight->SetFontColor(Qt::black);
    State.MaxLeftDb = 0;
    State.MaxRightDb = 0;
    // A new recording never starts with a stale bar or a red label.
    State.LeftBar = 0;
    State.RightBar = 0;
    c_.LeftDb->SetFontColor(Qt::black);
    c_.RightDb->SetFontColor(Qt::black);
}

void TLevelMeters::ShowLevels(uint32_t left, int64_t right, uint32_t now)
{
    const bool labelsDue = now - State.LastLabelTick >= LabelTickMs;
    if (labelsDue)
        State.LastLabelTick = now;

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
        {left, State.MaxLeftDb, State.LeftBar, State.DrawnLeftBar, c_.MaxLeft, "MaxL:", c_.LeftDb, "L:", c_.Left},
        {right, State.MaxRightDb, State.RightBar, State.DrawnRightBar, c_.MaxRight, "MaxR:", c_.RightDb, "R:",
            c_.Right},
    };
    // Once the window has closed there are no meter pictures to compose with.
    const bool drawable = !State.Unlit.isNull();
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
            State.Repaints->Invalidate(c.meter);
        }
    }
}
