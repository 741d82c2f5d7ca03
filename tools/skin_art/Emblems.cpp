// The program's emblem (window logo, title strip letter) and the tray icons.
#include "Art.h"
#include "Paint.h"
#include "Parts.h"

namespace art {

void PaintEmblem(QPainter& p, const QRectF& box)
{
    const qreal s = box.width();
    const qreal corner = s * 0.22;
    p.save();
    QLinearGradient face(box.topLeft(), box.bottomLeft());
    face.setColorAt(0, pal::goldLight);
    face.setColorAt(1, pal::goldDeep);
    const QRectF body = box.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(pal::greenDark.darker(150), s >= 24 ? 1.2 : 0.9));
    p.setBrush(face);
    p.drawRoundedRect(body, corner, corner);
    if (s >= 24) {
        p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(1.2, 1.2, -1.2, -1.2), corner * 0.8, corner * 0.8);
    }

    // The letter: drawn as a path so it sits exactly in the middle at every size.
    QFont font = SkinFont(qRound(s * 0.8), true);
    QPainterPath letter;
    letter.addText(0, 0, font, "K");
    const QRectF lb = letter.boundingRect();
    letter.translate(box.center() - lb.center() + QPointF(s * 0.01, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 80));
    p.drawPath(letter.translated(0, s / 32.0));
    p.setBrush(pal::greenDark);
    p.drawPath(letter);
    p.restore();
}

QImage Logo()
{
    QImage image = NewImage(32, 32, true);
    QPainter p;
    Begin(p, image);
    PaintEmblem(p, QRectF(0, 0, 32, 32));
    p.end();
    return image;
}

QImage TrayIcon(TrayState state, int size)
{
    QImage image = NewImage(size, size, true);
    QPainter p;
    Begin(p, image);
    if (state == TrayState::Idle) {
        PaintEmblem(p, QRectF(0, 0, size, size));
        p.end();
        return image;
    }

    // A charcoal tile with the state's glyph on it, rimmed in the frame's green.
    const qreal corner = size * 0.22;
    QLinearGradient face(0, 0, 0, size);
    face.setColorAt(0, QColor(78, 78, 74));
    face.setColorAt(1, QColor(28, 28, 26));
    p.setPen(QPen(pal::green.lighter(120), size >= 24 ? 1.4 : 1.0));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), corner, corner);

    int glyph = 3;
    switch (state) {
    case TrayState::Recording: glyph = 1; break;
    case TrayState::RecordingPaused: glyph = 17; break;
    case TrayState::Playing: glyph = 3; break;
    default: glyph = 4; break;
    }
    // Small icons lose the glyph's margin so that it stays legible.
    const qreal scale = size * (size < 24 ? 0.95 : 0.85) / 20.0;
    p.translate(size / 2.0, size / 2.0);
    p.scale(scale, scale);
    p.translate(-10, -10);
    PaintGlyph(p, glyph);
    p.end();
    return image;
}

} // namespace art
