// The window's background: green frame, title strip, gold panel, and the places of the
// moving parts drawn into it.
#include "Art.h"
#include "Layout.h"
#include "Paint.h"
#include "Parts.h"

#include <QLinearGradient>

namespace art {

using namespace layout;

QImage PanelBase()
{
    QImage image = NewImage(kWidth, kHeight, false);
    QPainter p;
    Begin(p, image);

    // The frame: green, a little lighter towards the top.
    QLinearGradient frame(0, 0, 0, kHeight);
    frame.setColorAt(0, pal::green);
    frame.setColorAt(1, pal::green.darker(118));
    p.fillRect(0, 0, kWidth, kHeight, frame);

    // Its outer edge: a dark line, a light one inside it on the top and left.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pal::greenDark.darker(140));
    p.drawRect(0, 0, kWidth - 1, kHeight - 1);
    p.setPen(pal::greenLight);
    p.drawLine(1, 1, kWidth - 2, 1);
    p.drawLine(1, 1, 1, kHeight - 2);
    p.setPen(pal::greenDark);
    p.drawLine(2, kHeight - 2, kWidth - 2, kHeight - 2);
    p.drawLine(kWidth - 2, 2, kWidth - 2, kHeight - 2);
    p.setRenderHint(QPainter::Antialiasing, true);

    // The gold panel, raised out of a dark groove in the frame.
    const QRectF panel(kPanel);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::greenDark);
    p.drawRoundedRect(panel.adjusted(-2, -2, 2, 2), 7, 7);
    Plate(p, kPanel, pal::gold, pal::goldLight, pal::goldShadow, 5);
    p.end();
    return image;
}

namespace {

// A small recessed key in the title strip with its glyph in cream.
void TitleKey(QPainter& p, int left, int which)
{
    const QRect key(left, 5, kZoneWidth, 10);
    Recess(p, key, pal::greenDark, pal::greenDark.darker(160), pal::greenLight, 2);
    p.save();
    p.setPen(QPen(pal::cream, 1.4, Qt::SolidLine, Qt::RoundCap));
    const qreal cx = left + kZoneWidth / 2.0;
    const qreal cy = 10.0;
    switch (which) {
    case 0:  // exclamation mark
        p.drawLine(QPointF(cx, cy - 3.2), QPointF(cx, cy + 0.6));
        p.drawPoint(QPointF(cx, cy + 3.0));
        break;
    case 1: {  // question mark
        QPainterPath hook;
        hook.moveTo(cx - 2.0, cy - 1.9);
        hook.cubicTo(cx - 2.0, cy - 4.4, cx + 2.4, cy - 4.4, cx + 2.2, cy - 1.8);
        hook.cubicTo(cx + 2.0, cy - 0.3, cx, cy - 0.4, cx, cy + 1.0);
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.drawPoint(QPointF(cx, cy + 3.0));
        break;
    }
    case 2:  // dash
        p.drawLine(QPointF(cx - 2.6, cy + 0.5), QPointF(cx + 2.6, cy + 0.5));
        break;
    default:  // cross
        p.drawLine(QPointF(cx - 2.3, cy - 2.3), QPointF(cx + 2.3, cy + 2.3));
        p.drawLine(QPointF(cx - 2.3, cy + 2.3), QPointF(cx + 2.3, cy - 2.3));
        break;
    }
    p.restore();
}

// Ridged grip lines across the draggable strip, from x0 to x1.
void Ridges(QPainter& p, int x0, int x1)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y : {7, 10, 13}) {
        p.setPen(pal::greenDark);
        p.drawLine(x0, y, x1, y);
        p.setPen(pal::greenLight);
        p.drawLine(x0, y + 1, x1, y + 1);
    }
    p.restore();
}

} // namespace

void PaintTitleStrip(QPainter& p)
{
    // A brighter band than the frame, with a dark line under it.
    QLinearGradient band(0, 0, 0, kTitleHeight);
    band.setColorAt(0, pal::greenLight);
    band.setColorAt(0.45, pal::green.lighter(112));
    band.setColorAt(1, pal::green.darker(110));
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(1, 1, kWidth - 2, kTitleHeight - 1, band);
    p.setPen(pal::greenDark);
    p.drawLine(1, kTitleHeight - 1, kWidth - 2, kTitleHeight - 1);
    p.setPen(pal::greenLight.lighter(115));
    p.drawLine(1, 1, kWidth - 2, 1);
    p.restore();

    PaintEmblem(p, QRectF(4, 3, 14, 14));

    const QFont font = SkinFont(13, true);
    const QRect title(0, 0, kWidth, kTitleHeight);
    const int textWidth = QFontMetrics(font).horizontalAdvance("Kestrune");
    Engraved(p, title.translated(0, -1), Qt::AlignCenter, "Kestrune", font, pal::cream, pal::greenDark.darker(150));

    Ridges(p, 24, kWidth / 2 - textWidth / 2 - 10);
    Ridges(p, kWidth / 2 + textWidth / 2 + 10, kZoneLeft[0] - 8);
    for (int i = 0; i < 4; ++i)
        TitleKey(p, kZoneLeft[i], i);
}

namespace {

// Shallow plates that group the button row: file and record, playback, tools. They are sunk
// into the panel in its own deeper gold, like the level plate, so that a plate whose buttons
// are hidden reads as a part of the deck, not as a missing button.
void ButtonPlates(QPainter& p)
{
    const int top = kButtonTop - 3;
    const int height = kButtonSize + 6;
    const QRect groups[] = {
        {kButtonLeft[0] - 4, top, kButtonLeft[2] + kButtonSize + 4 - (kButtonLeft[0] - 4), height},
        {kButtonLeft[3] - 4, top, kButtonLeft[4] + kButtonSize + 4 - (kButtonLeft[3] - 4), height},
        {kButtonLeft[5] - 4, top, kButtonLeft[7] + kButtonSize + 4 - (kButtonLeft[5] - 4), height},
    };
    for (const QRect& g : groups) {
        QLinearGradient face(g.topLeft(), g.bottomLeft());
        face.setColorAt(0, pal::goldDeep.darker(106));
        face.setColorAt(1, pal::goldDeep.lighter(104));
        Recess(p, g, pal::goldDeep, pal::goldShadow, pal::goldLight, 4);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRoundedRect(QRectF(g), 4, 4);
        p.restore();
    }
}

} // namespace

QImage MainBackground()
{
    QImage image = PanelBase();
    QPainter p;
    Begin(p, image);
    PaintTitleStrip(p);
    PaintDeck(p);
    ButtonPlates(p);
    p.drawImage(kStatus.topLeft(), StatusStrip());
    p.end();
    return image;
}

} // namespace art
