#pragma once
// The level meters' rules that need no window: dB from a sample magnitude, the bar's next
// column, the automatic pause's percent, the meters' colours and geometry.
#include <QColor>
#include <QImage>
#include <cstdint>

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
