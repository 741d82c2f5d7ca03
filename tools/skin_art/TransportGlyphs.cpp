// The command glyphs of the tape transport (record, play, pause, stop and their kin),
// and the strip that holds all eighteen glyphs.
#include "Art.h"
#include "Paint.h"
#include "Parts.h"

#include <QLinearGradient>
#include <cmath>

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

// An octagon in a size x size square at (left, top), its corners cut by cut: with whole
// numbers its level and upright sides lie on pixel edges.
QPainterPath OctagonPath(qreal left, qreal top, qreal size, qreal cut)
{
    const qreal right = left + size;
    const qreal bottom = top + size;
    QPainterPath path;
    path.moveTo(left + cut, top);
    path.lineTo(right - cut, top);
    path.lineTo(right, top + cut);
    path.lineTo(right, bottom - cut);
    path.lineTo(right - cut, bottom);
    path.lineTo(left + cut, bottom);
    path.lineTo(left, bottom - cut);
    path.lineTo(left, top + cut);
    path.closeSubpath();
    return path;
}

// The record sign: a flat green octagon with a one-pixel dark rim inside its edge and a lit
// upper edge, in a size x size square at (left, top).
void Octagon(QPainter& p, int left, int top, int size)
{
    const qreal cut = std::round(size * 0.2929); // a regular octagon's corner
    // Moving the sides in by one pixel moves the slanted ones' ends in by about 0.41 more.
    const qreal innerCut = cut - 0.4142;
    const QRectF inner(left + 1, top + 1, size - 2, size - 2);
    QLinearGradient face(inner.topLeft(), inner.bottomLeft());
    face.setColorAt(0, pal::recGreen.lighter(130));
    face.setColorAt(1, pal::recGreen.darker(130));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 52, 18));
    p.drawPath(OctagonPath(left, top, size, cut));
    p.setBrush(face);
    p.drawPath(OctagonPath(inner.left(), inner.top(), inner.width(), innerCut));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRect(QRectF(inner.left() + innerCut, inner.top(), inner.width() - 2 * innerCut, 1));
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
        Octagon(p, 3, 3, 14);
        break;
    case 2: {  // record, outlined only
        QPainterPath ring = OctagonPath(3, 3, 14, 4).subtracted(OctagonPath(6, 6, 8, 2.3));
        Solid(p, ring, pal::recGreen.lighter(135), pal::recGreen.darker(135), QColor(8, 52, 18), 1.1);
        break;
    }
    // Play, pause and stop as tall as the tool glyphs of the other plates look.
    case 3:  // play
        Silver(p, Right(5.5, 3, 12, 14));
        break;
    case 4:  // pause
        Pause(p, 4.5, 3.5, 4.2, 2.8, 13);
        break;
    case 5:  // stop
        Silver(p, Box(4, 4, 12, 12, 1.2));
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
        Octagon(p, 2, 2, 13);
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
