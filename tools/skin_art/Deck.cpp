// The deck between the frame and the button row: the two reels and the tape between them,
// the time window, the level meter bar and its plates, the file name field.
#include "Layout.h"
#include "Paint.h"
#include "Parts.h"

#include <QRadialGradient>
#include <cmath>

namespace art {

using namespace layout;

namespace {

constexpr qreal kPackRadius = 23.0;  // the tape wound on a reel
constexpr qreal kRollerRadius = 4.0;

QPointF ReelCentre(QPoint control) { return QPointF(control.x() + 30.0, control.y() + 30.0); }

// The points where a belt on the `side` (+1 left of travel, -1 right) of two circles touches them.
std::pair<QPointF, QPointF> Tangent(QPointF c1, qreal r1, QPointF c2, qreal r2, int side)
{
    const QPointF d = c2 - c1;
    const qreal length = std::hypot(d.x(), d.y());
    const qreal base = std::atan2(d.y(), d.x());
    const qreal a = base + side * std::acos((r1 - r2) / length);
    const QPointF n(std::cos(a), std::sin(a));
    return {c1 + r1 * n, c2 + r2 * n};
}

// The tape runs off the left reel, under two guide rollers, and onto the right reel.
void Tape(QPainter& p)
{
    const QPointF left = ReelCentre(kReelLeft);
    const QPointF right = ReelCentre(kReelRight);
    const QPointF guideLeft(left.x() + 38, 95);
    const QPointF guideRight(right.x() - 38, 95);

    const auto [a0, a1] = Tangent(left, kPackRadius, guideLeft, kRollerRadius, +1);
    const auto [b0, b1] = Tangent(guideRight, kRollerRadius, right, kPackRadius, +1);
    QPainterPath path;
    path.moveTo(a0);
    path.lineTo(a1);
    path.lineTo(guideLeft.x(), guideLeft.y() + kRollerRadius);
    path.lineTo(guideRight.x(), guideRight.y() + kRollerRadius);
    path.lineTo(b0);
    path.lineTo(b1);

    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 60), 3.2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(path.translated(0.6, 0.8));
    p.setPen(QPen(pal::tape, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(path);

    // The guide rollers: small chromed posts.
    for (QPointF c : {guideLeft, guideRight}) {
        QRadialGradient chrome(c + QPointF(-1.2, -1.2), kRollerRadius + 1);
        chrome.setColorAt(0, QColor(250, 250, 244));
        chrome.setColorAt(0.6, QColor(160, 160, 152));
        chrome.setColorAt(1, QColor(70, 70, 66));
        p.setPen(QPen(pal::ink, 0.8));
        p.setBrush(chrome);
        p.drawEllipse(c, kRollerRadius - 0.4, kRollerRadius - 0.4);
        p.setBrush(pal::ink);
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, 1.1, 1.1);
    }
    p.restore();
}

// A reel's body: a dark well with the tape pack and the reel's rim; the spokes turn over it.
void ReelBody(QPainter& p, QPointF c)
{
    const qreal r = kReelBodyRadius;
    p.save();
    p.setPen(Qt::NoPen);

    // The well it sits in: shadowed above-left, lit below-right.
    p.setBrush(pal::goldLight);
    p.drawEllipse(c + QPointF(0.7, 0.7), r + 1.2, r + 1.2);
    p.setBrush(pal::goldShadow);
    p.drawEllipse(c - QPointF(0.7, 0.7), r + 1.2, r + 1.2);

    // The rim: a dark flange edge catching light at the top.
    QLinearGradient rim(c.x(), c.y() - r, c.x(), c.y() + r);
    rim.setColorAt(0, QColor(112, 112, 106));
    rim.setColorAt(0.5, QColor(44, 44, 42));
    rim.setColorAt(1, QColor(76, 76, 72));
    p.setBrush(rim);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(24, 24, 22));
    p.drawEllipse(c, r - 2.2, r - 2.2);

    // The tape pack: brown, with a sheen and faint winding lines.
    QRadialGradient pack(c, kPackRadius);
    pack.setColorAt(0.0, pal::tape.darker(150));
    pack.setColorAt(0.55, pal::tape);
    pack.setColorAt(0.9, pal::tape.lighter(125));
    pack.setColorAt(1.0, pal::tape.darker(130));
    p.setBrush(pack);
    p.drawEllipse(c, kPackRadius, kPackRadius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 40), 0.6));
    for (qreal w = 13; w < kPackRadius; w += 3.0)
        p.drawEllipse(c, w, w);

    // The core the tape is wound on.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 28));
    p.drawEllipse(c, 10.5, 10.5);
    p.restore();
}

// The black window of the time digits, with faint colons in the gaps between the pairs.
void TimeWindow(QPainter& p)
{
    const int first = kDigitLeft[0];
    const int last = kDigitLeft[5] + 15;
    // Two pixels of black around the digits, and two of panel between its lit lower edge and
    // the meter groove.
    const QRect inside(first - 2, kDigitTop - 2, last - first + 4, 30 + 3);
    Recess(p, inside.adjusted(-1, -1, 1, 1), pal::ink, pal::goldShadow, pal::goldLight, 3);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(inside, Qt::black);
    p.restore();

    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(34, 120, 48));
    for (int pair : {1, 3}) {
        const qreal x = (kDigitLeft[pair] + 15 + kDigitLeft[pair + 1]) / 2.0;  // middle of the gap
        for (qreal y : {kDigitTop + 10.5, kDigitTop + 20.5})
            p.drawEllipse(QPointF(x, y), 1.3, 1.3);
    }
    p.restore();
}

// The bar the two level meters are drawn in, and the deeper plate the level labels sit on.
// The plate rests on the groove's upper lip and ends with it; the labels cover it but for a
// margin, so it is drawn first and the groove's edge stays whole across its foot.
void MeterBar(QPainter& p)
{
    const QRect meters = kMeterLeft.united(kMeterRight);
    const QRect groove = meters.adjusted(-1, 0, 1, 0);
    const QRect plate(QPoint(kLeftDb.left() - 4, kLeftDb.top() - 4), QPoint(groove.right(), kRightDb.bottom()));
    Recess(p, plate, pal::goldDeep, pal::goldShadow, pal::goldLight, 2);
    Recess(p, groove, pal::ink, pal::goldShadow, pal::goldLight, 1.5);

    const QFont small = SkinFont(8, true);
    Engraved(p, QRect(kMaxL.left(), kMaxL.top() - 11, kMaxL.width(), 10), Qt::AlignLeft | Qt::AlignVCenter,
        "PEAK", small, pal::engrave, pal::goldLight);
    Engraved(p, QRect(plate.left(), plate.top() - 11, plate.width(), 10), Qt::AlignHCenter | Qt::AlignVCenter,
        "LEVEL", small, pal::engrave, pal::goldLight);
}

// The word FileName and the dark field the name is written in. Nothing beside it: what is
// recorded (stereo or mono) is the status line's to say.
void FileNameField(QPainter& p)
{
    Recess(p, kFileName, pal::window, pal::goldShadow, pal::goldLight, 0);
    Engraved(p, QRect(22, kFileName.top(), 58, kFileName.height()), Qt::AlignLeft | Qt::AlignVCenter, "FileName",
        SkinFont(11, true), pal::engrave, pal::goldLight);
}

} // namespace

void PaintDeck(QPainter& p)
{
    Tape(p);
    ReelBody(p, ReelCentre(kReelLeft));
    ReelBody(p, ReelCentre(kReelRight));
    TimeWindow(p);
    MeterBar(p);
    FileNameField(p);
}

} // namespace art
