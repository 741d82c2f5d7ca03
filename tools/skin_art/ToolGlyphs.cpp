// The command glyphs of the tools: select file, mixer, queue, settings, and the spare
// speaker and microphone.
#include "Paint.h"
#include "Parts.h"

#include <cmath>

namespace art {

namespace {

QPainterPath Poly(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (QPointF c : points) {
        if (first)
            path.moveTo(c);
        else
            path.lineTo(c);
        first = false;
    }
    path.closeSubpath();
    return path;
}

// An open folder with a green arrow going down into it.
void Folder(QPainter& p)
{
    const QColor manilaTop(238, 214, 120);
    const QColor manilaBottom(184, 150, 58);
    Solid(p, Poly({{1.5, 6}, {6.5, 6}, {8, 7.5}, {15.5, 7.5}, {15.5, 17}, {1.5, 17}}), manilaTop.darker(115),
        manilaBottom.darker(115), pal::glyphOutline, 1.0);
    const QPainterPath arrow =
        Poly({{9.5, 0.8}, {13.5, 0.8}, {13.5, 6}, {16.5, 6}, {11.5, 11.5}, {6.5, 6}, {9.5, 6}});
    Solid(p, arrow, pal::recGreen.lighter(135), pal::recGreen.darker(125), QColor(8, 52, 18), 1.0);
    Solid(p, Poly({{4.5, 10.5}, {18.8, 10.5}, {15.8, 17}, {1.5, 17}}), manilaTop, manilaBottom, pal::glyphOutline, 1.0);
}

// Three faders, each knob at a different height.
void Mixer(QPainter& p)
{
    const qreal xs[] = {4.5, 10, 15.5};
    const qreal knobs[] = {12, 5.5, 9};
    p.save();
    for (qreal x : xs) {
        p.setPen(QPen(pal::glyphOutline, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, 2.5), QPointF(x, 17.5));
        p.setPen(QPen(QColor(110, 110, 104), 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, 3), QPointF(x, 17));
    }
    p.restore();
    for (int i = 0; i < 3; ++i) {
        QPainterPath knob;
        knob.addRoundedRect(QRectF(xs[i] - 2.6, knobs[i] - 1.8, 5.2, 3.6), 0.8, 0.8);
        Silver(p, knob);
    }
}

// A list of three entries with a clock over its corner.
void Queue(QPainter& p)
{
    for (qreal y : {3.0, 7.5, 12.0}) {
        QPainterPath line;
        line.addRoundedRect(QRectF(1.5, y, 8.5, 2.4), 0.8, 0.8);
        Silver(p, line);
    }
    const QPointF c(12.8, 12.2);
    QPainterPath face;
    face.addEllipse(c, 6.2, 6.2);
    Solid(p, face, QColor(252, 252, 246), QColor(196, 196, 186), pal::glyphOutline, 1.1);
    p.save();
    p.setPen(QPen(pal::glyphOutline, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -4.2));
    p.drawLine(c, c + QPointF(3.0, 1.2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 30, 30));
    p.drawEllipse(c, 0.9, 0.9);
    p.restore();
}

// A gear of eight teeth round a hole.
void Gear(QPainter& p)
{
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * 45.0;
        const qreal corners[][2] = {{a - 22.5, 6.3}, {a - 11, 6.6}, {a - 8, 9.0}, {a + 8, 9.0}, {a + 11, 6.6}};
        for (const auto& c : corners) {
            const qreal r = c[0] * M_PI / 180;
            const QPointF pt(10 + c[1] * std::cos(r), 10 + c[1] * std::sin(r));
            if (teeth.elementCount() == 0)
                teeth.moveTo(pt);
            else
                teeth.lineTo(pt);
        }
    }
    teeth.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(10, 10), 2.6, 2.6);
    Silver(p, teeth.subtracted(hole));
}

// A speaker with two sound waves.
void Speaker(QPainter& p)
{
    Silver(p, Poly({{2.5, 7.5}, {6, 7.5}, {10.5, 3.5}, {10.5, 16.5}, {6, 12.5}, {2.5, 12.5}}));
    p.save();
    p.setBrush(Qt::NoBrush);
    for (qreal r : {3.5, 6.5}) {
        const QRectF arc(10 - r + 2, 10 - r, 2 * r, 2 * r);
        p.setPen(QPen(pal::glyphOutline, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(arc, -45 * 16, 90 * 16);
        p.setPen(QPen(pal::silverTop, 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(arc, -45 * 16, 90 * 16);
    }
    p.restore();
}

// A microphone on its stand.
void Microphone(QPainter& p)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    QPainterPath stand;
    stand.moveTo(4.5, 8.5);
    stand.cubicTo(4.5, 15, 15.5, 15, 15.5, 8.5);
    stand.moveTo(10, 13.8);
    stand.lineTo(10, 17.5);
    stand.moveTo(6.5, 17.5);
    stand.lineTo(13.5, 17.5);
    p.setPen(QPen(pal::glyphOutline, 2.8, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stand);
    p.setPen(QPen(QColor(200, 200, 192), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stand);
    p.restore();
    QPainterPath capsule;
    capsule.addRoundedRect(QRectF(7, 1.5, 6, 10.5), 3, 3);
    Silver(p, capsule);
}

} // namespace

void PaintToolGlyph(QPainter& p, int index)
{
    switch (index) {
    case 7: Folder(p); break;
    case 12: Speaker(p); break;
    case 13: Microphone(p); break;
    case 14: Mixer(p); break;
    case 15: Queue(p); break;
    case 16: Gear(p); break;
    default: break;
    }
}

} // namespace art
