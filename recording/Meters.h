#pragma once
// The level meters: segmented bars and dB labels from the levels of the input or the playback,
// and the maxima so far. Their rules that need no window come first: dB from a sample
// magnitude, the bar's next column, the automatic pause's percent, colours and geometry.
#include "LevelMeterState.h"

#include <QColor>
#include <QImage>
#include <cstdint>
#include <initializer_list>

class QWidget;
namespace framework {
class TControl;
class TImage;
class TLabel;
} // namespace framework

// Columns of a meter (0 to 76); each column has two cells of 2 x 2 pixels, one pixel apart.
inline constexpr int32_t MeterColumns = 77;
inline constexpr int32_t MeterWidth = 228;
inline constexpr int32_t MeterHeight = 7;

// A colour given as 0x00BBGGRR.
QColor ColorRefToColor(uint32_t colorRef);

// Whole dB of a 16-bit sample magnitude (32768 = 0 dB), halves to even; -76 for 0 or less.
int32_t LevelDb(int64_t value);

// The bar after a message at that level: it jumps up to 2 x level + 76 at once and falls by
// one column per message (to 0 when it is 1 or less). Never above the last column.
int32_t NextBar(int32_t bar, int32_t levelDb);

// The left level in whole percent of full scale, rounded down (32-bit arithmetic).
uint32_t LevelPercent(uint32_t value);

// Labels turn red from -5 dB up.
bool LoudLevel(int32_t levelDb);

// The two meter pictures: the unlit one (dark cells, a dark red zone from column 66) and
// the lit one (green through yellow to orange).
QImage MakeUnlitMeter();
QImage MakeLitMeter(const QImage& unlit);

// The window's elements the meters draw on.
struct MeterControls {
    framework::TImage* Left = nullptr;
    framework::TImage* Right = nullptr;
    framework::TLabel* LeftDb = nullptr;
    framework::TLabel* RightDb = nullptr;
    framework::TLabel* MaxLeft = nullptr;
    framework::TLabel* MaxRight = nullptr;
};

// Owned by the main window, whose elements it draws on; window thread only.
class TLevelMeters {
public:
    TLevelMeters(QWidget& window, const MeterControls& controls);

    LevelMeterState State;

    // The work surface and the two meter pictures; the repaint pacer at the first call, which
    // also paces `alsoPaced` (elements that change at their own tick, painted with the meters).
    void CreateMeterBitmaps(std::initializer_list<framework::TControl*> alsoPaced);
    void FreeMeterBitmaps();
    void ClearMeterSurface();
    // Columns 0 to columns of the lit meter into the work surface.
    void DrawMeterBar(int32_t columns);
    // The work surface onto one meter image.
    void CopyMeterSurface(framework::TImage& meter);
    // Blanks both meters, the labels back to 0 dB, the maxima cleared.
    void ResetMeters();
    // One level message at tick now: left and right from 0 (silence) to 32768 (full scale).
    void ShowLevels(uint32_t left, int64_t right, uint32_t now);

private:
    QWidget& window_;
    MeterControls c_;
};
