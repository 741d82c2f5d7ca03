// The reel's turning part: three spokes and the hub. The body under them is in the background.
#include "Art.h"
#include "Paint.h"
#include "Parts.h"

#include <QTransform>
#include <cmath>

namespace art {

namespace {

constexpr int kFrames = 12;
constexpr int kFrameSize = 60;
constexpr qreal kCentre = 30.0;
constexpr qreal kSpokeRadius = 25.5;  // stays inside column 56, which the left reel still shows

// One spoke along +x: narrow at the hub, wider at the rim, its outer end following the rim.
QPainterPath Spoke(qreal radius)
{
    const qreal inner = 6.0;
    const qreal innerHalf = 26.0;  // degrees either side at the hub
    const qreal outerHalf = 17.0;  // degrees either side at the rim
    QPainterPath path;
    path.moveTo(inner * std::cos(-innerHalf * M_PI / 180), inner * std::sin(-innerHalf * M_PI / 180));
    path.lineTo(radius * std::cos(-outerHalf * M_PI / 180), radius * std::sin(-outerHalf * M_PI / 180));
    path.arcTo(QRectF(-radius, -radius, 2 * radius, 2 * radius), outerHalf, -2 * outerHalf);
    path.lineTo(inner * std::cos(innerHalf * M_PI / 180), inner * std::sin(innerHalf * M_PI / 180));
    path.closeSubpath();
    return path;
}

} // namespace

void PaintSpokes(QPainter& p, qreal cx, qreal cy, qreal radius, qreal angleDeg)
{
    const qreal hub = radius * 0.36;
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), hub, hub);
    for (int i = 0; i < 3; ++i)
        body = body.united(QTransform().rotate(angleDeg + 120.0 * i).map(Spoke(radius)));
    body.translate(cx, cy);

    // Lit from above whatever the angle: the gradient stays put while the spokes turn.
    Solid(p, body, QColor(132, 132, 126), QColor(52, 52, 50), pal::ink, 0.9);

    // The hub: a raised boss with the spindle hole and its three drive keys.
    p.save();
    QLinearGradient boss(cx, cy - hub, cx, cy + hub);
    boss.setColorAt(0, QColor(176, 176, 168));
    boss.setColorAt(1, QColor(70, 70, 66));
    p.setPen(QPen(QColor(40, 40, 38), 0.7));
    p.setBrush(boss);
    const qreal bossRadius = hub * 0.78;
    p.drawEllipse(QPointF(cx, cy), bossRadius, bossRadius);

    // The spindle hole, and three screw heads that show the hub turning.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 12, 11));
    p.drawEllipse(QPointF(cx, cy), hub * 0.26, hub * 0.26);
    for (int i = 0; i < 3; ++i) {
        const qreal a = (angleDeg + 60.0 + 120.0 * i) * M_PI / 180;
        const QPointF screw(cx + bossRadius * 0.7 * std::cos(a), cy + bossRadius * 0.7 * std::sin(a));
        p.setBrush(QColor(36, 36, 34));
        p.drawEllipse(screw, 1.05, 1.05);
    }
    p.restore();
}

QImage ReelStrip()
{
    QImage image = NewImage(kFrameSize * kFrames, kFrameSize, true);
    QPainter p;
    Begin(p, image);
    // Three spokes repeat every 120 degrees, so twelve steps of 10 degrees close the loop.
    // The tape runs off the bottom of the left reel to the bottom of the right one, which
    // turns both counter-clockwise: each frame is 10 degrees further that way.
    for (int f = 0; f < kFrames; ++f)
        PaintSpokes(p, f * kFrameSize + kCentre, kCentre, kSpokeRadius, -90.0 - f * 120.0 / kFrames);
    p.end();
    return image;
}

} // namespace art
