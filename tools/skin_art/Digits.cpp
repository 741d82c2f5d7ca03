// The time digits: seven green segments on black, the unlit ones faintly visible.
#include "Art.h"
#include "Paint.h"

namespace art {

namespace {

constexpr int kCellWidth = 15;
constexpr int kCellHeight = 30;

// Segment frame inside a cell, in pixels: the centre lines of the outer segments.
constexpr qreal kThick = 3.0;
constexpr qreal kGap = 0.55;
constexpr qreal kLeft = 2.0 + kThick / 2;
constexpr qreal kRight = 13.0 - kThick / 2;
constexpr qreal kTop = 2.0 + kThick / 2;
constexpr qreal kBottom = 28.0 - kThick / 2;
constexpr qreal kMiddle = (kTop + kBottom) / 2;

// A segment between two points on one line, with pointed ends.
QPainterPath Segment(QPointF a, QPointF b)
{
    const qreal h = kThick / 2;
    QPainterPath path;
    if (a.y() == b.y()) {
        const qreal x0 = a.x() + kGap;
        const qreal x1 = b.x() - kGap;
        const qreal y = a.y();
        path.moveTo(x0, y);
        path.lineTo(x0 + h, y - h);
        path.lineTo(x1 - h, y - h);
        path.lineTo(x1, y);
        path.lineTo(x1 - h, y + h);
        path.lineTo(x0 + h, y + h);
    } else {
        const qreal y0 = a.y() + kGap;
        const qreal y1 = b.y() - kGap;
        const qreal x = a.x();
        path.moveTo(x, y0);
        path.lineTo(x + h, y0 + h);
        path.lineTo(x + h, y1 - h);
        path.lineTo(x, y1);
        path.lineTo(x - h, y1 - h);
        path.lineTo(x - h, y0 + h);
    }
    path.closeSubpath();
    return path;
}

// Segments a-g in the usual order: top, upper right, lower right, bottom, lower left, upper left, middle.
QPainterPath SegmentPath(int s)
{
    switch (s) {
    case 0: return Segment({kLeft, kTop}, {kRight, kTop});
    case 1: return Segment({kRight, kTop}, {kRight, kMiddle});
    case 2: return Segment({kRight, kMiddle}, {kRight, kBottom});
    case 3: return Segment({kLeft, kBottom}, {kRight, kBottom});
    case 4: return Segment({kLeft, kMiddle}, {kLeft, kBottom});
    case 5: return Segment({kLeft, kTop}, {kLeft, kMiddle});
    default: return Segment({kLeft, kMiddle}, {kRight, kMiddle});
    }
}

// Which segments each digit lights, bit s for segment s.
constexpr unsigned kLit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void PaintDigit(QPainter& p, int digit)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int s = 0; s < 7; ++s) {
        const bool lit = kLit[digit] & (1u << s);
        const QPainterPath path = SegmentPath(s);
        if (lit) {
            // A soft glow round the lit segment, then the segment with a brighter core.
            p.setPen(QPen(QColor(40, 200, 70, 70), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            p.setPen(Qt::NoPen);
            p.setBrush(pal::lcdLit);
        } else {
            p.setBrush(pal::lcdDim);
        }
        p.drawPath(path);
    }
    p.restore();
}

} // namespace

QImage DigitStrip()
{
    QImage image = NewImage(kCellWidth * 10, kCellHeight, false);
    image.fill(Qt::black);
    PaintCells(image, kCellWidth, kCellHeight, 10, PaintDigit);
    return image;
}

} // namespace art
