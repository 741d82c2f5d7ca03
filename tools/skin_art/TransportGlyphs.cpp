// The command glyphs of the tape transport (record, play, pause, stop and their kin),
// and the strip that holds all eighteen glyphs.
#include "Art.h"
#include "Paint.h"
#include "Parts.h"

namespace art {

void Silver(QPainter& p, const QPainterPath& shape)
{
    Solid(p, shape, pal::silverTop, pal::silverBottom, pal::glyphOutline, 1.1);
}

namespace {

constexpr int kGlyph = 20;
constexpr int kGlyphs = 18;

QPainterPath Box(qreal x, qreal y, qreal w, qreal h, qreal radius = 1.0)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

QPainterPath Right(qreal x, qreal y, qreal w, qreal h) { return Triangle({x, y}, {x + w, y + h / 2}, {x, y + h}); }
QPainterPath Left(qreal x, qreal y, qreal w, qreal h) { return Triangle({x + w, y}, {x, y + h / 2}, {x + w, y + h}); }

// The record sign: a green octagon with a glint on its upper left.
void Octagon(QPainter& p, qreal cx, qreal cy, qreal radius)
{
    const QPainterPath shape = Polygon(cx, cy, radius, 8, 22.5);
    Solid(p, shape, pal::recGreen.lighter(135), pal::recGreen.darker(135), QColor(8, 52, 18), 1.1);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QPointF(cx - radius * 0.32, cy - radius * 0.34), radius * 0.34, radius * 0.22);
    p.restore();
}

void Pause(QPainter& p, qreal x, qreal y, qreal barWidth, qreal gap, qreal height)
{
    Silver(p, Box(x, y, barWidth, height));
    Silver(p, Box(x + barWidth + gap, y, barWidth, height));
}

} // namespace

void PaintTransportGlyph(QPainter& p, int index)
{
    switch (index) {
    case 0:  // a plain dot
        Silver(p, Polygon(10, 10, 4.5, 32, 0));
        break;
    case 1:  // record
        Octagon(p, 10, 10, 7.6);
        break;
    case 2: {  // record, outlined only
        QPainterPath ring = Polygon(10, 10, 7.6, 8, 22.5).subtracted(Polygon(10, 10, 4.6, 8, 22.5));
        Solid(p, ring, pal::recGreen.lighter(135), pal::recGreen.darker(135), QColor(8, 52, 18), 1.1);
        break;
    }
    case 3:  // play
        Silver(p, Right(5.5, 3.5, 11.5, 13));
        break;
    case 4:  // pause
        Pause(p, 5, 4, 3.8, 3.2, 12);
        break;
    case 5:  // stop
        Silver(p, Box(4.5, 4.5, 11, 11, 1.2));
        break;
    case 6:  // eject
        Silver(p, Triangle({10, 3.5}, {16.5, 10.5}, {3.5, 10.5}));
        Silver(p, Box(3.5, 13, 13, 3));
        break;
    case 8:  // back to the start
        Silver(p, Box(3.5, 4.5, 2.6, 11, 0.6));
        Silver(p, Left(7.5, 4.5, 9, 11));
        break;
    case 9:  // on to the end
        Silver(p, Right(3.5, 4.5, 9, 11));
        Silver(p, Box(13.9, 4.5, 2.6, 11, 0.6));
        break;
    case 10:  // wind back
        Silver(p, Left(2.5, 5, 7.5, 10));
        Silver(p, Left(10, 5, 7.5, 10));
        break;
    case 11:  // wind on
        Silver(p, Right(2.5, 5, 7.5, 10));
        Silver(p, Right(10, 5, 7.5, 10));
        break;
    case 17:  // record and pause at once
        Octagon(p, 8.5, 8.5, 6.8);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(QRectF(11.2, 9.2, 8.0, 10.0), 1.5, 1.5);
        p.restore();
        Pause(p, 12, 10, 2.6, 1.8, 8);
        break;
    default:
        break;
    }
}

void PaintGlyph(QPainter& p, int index)
{
    switch (index) {
    case 7:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
        PaintToolGlyph(p, index);
        break;
    default:
        PaintTransportGlyph(p, index);
        break;
    }
}

QImage GlyphStrip()
{
    QImage image = NewImage(kGlyph * kGlyphs, kGlyph, true);
    PaintCells(image, kGlyph, kGlyph, kGlyphs, PaintGlyph);
    return image;
}

} // namespace art
