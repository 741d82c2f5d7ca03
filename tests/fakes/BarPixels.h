#pragma once
// What a level bar shows on the screen: its green columns along the middle, as drawn.
#include <QColor>
#include <QImage>
#include <QWidget>

namespace fakes {

inline int GreenColumns(QWidget* bar)
{
    const QImage image = bar->grab().toImage();
    int green = 0;
    for (int x = 0; x < image.width(); ++x)
        green += image.pixelColor(x, image.height() / 2) == QColor(0, 160, 0) ? 1 : 0;
    return green;
}

} // namespace fakes
