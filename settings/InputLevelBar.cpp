#include "InputLevelBar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// The strip sits inside its cell with this margin, in pixels.
constexpr int Margin = 3;
} // namespace

TInputLevelBar::TInputLevelBar(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

int TInputLevelBar::WidthOf(double fraction) const
{
    const int inner = std::max(width() - 2 * Margin - 2, 0);
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * inner));
}

void TInputLevelBar::SetLevel(double fraction)
{
    fraction_ = fraction;
    const int filled = WidthOf(fraction);
    if (filled == filled_)
        return;
    filled_ = filled;
    update();
}

void TInputLevelBar::resizeEvent(QResizeEvent*)
{
    filled_ = WidthOf(fraction_);
}

void TInputLevelBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect strip = rect().adjusted(Margin, Margin, -Margin, -Margin);
    if (strip.width() < 3 || strip.height() < 3)
        return;
    painter.fillRect(strip, palette().color(QPalette::Mid));
    const QRect inner = strip.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, Qt::white);
    if (filled_ > 0)
        painter.fillRect(QRect(inner.left(), inner.top(), filled_, inner.height()), QColor(0, 160, 0));
}
