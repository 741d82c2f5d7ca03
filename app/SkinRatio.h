#pragma once
// Which set of skin pictures fits screens of a device pixel ratio: 1 for plain screens, 2 for
// any denser one (pictures at 2 are scaled down smoothly between ratios, never up).
#include <QtGlobal>

int SkinPixelRatio(qreal screenRatio);
