// The pieces the pictures are assembled from, shared between the generator's files.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace art {

// The green frame and the bare gold panel, without anything placed on the panel.
QImage PanelBase();

// The title strip across the top 20 rows.
void PaintTitleStrip(QPainter& p);

// The deck: reel bodies, the tape, the time window, the meter bar, the level plates,
// the file name field.
void PaintDeck(QPainter& p);

// The program's emblem filling `box` (square): the window logo and the title strip's letter.
void PaintEmblem(QPainter& p, const QRectF& box);

// One command glyph in its 20 x 20 cell at the painter's origin (indexes 0-17).
void PaintGlyph(QPainter& p, int index);
void PaintTransportGlyph(QPainter& p, int index);  // record, play, pause, stop and the spares like them
void PaintToolGlyph(QPainter& p, int index);       // folder, mixer, queue, settings and the other spares

// A glyph's shape in silver with a dark outline, which reads on the gold panel and the dark plates alike.
void Silver(QPainter& p, const QPainterPath& shape);

// A reel's three spokes and hub about (cx, cy), the spokes `radius` long, the first at `angleDeg`.
void PaintSpokes(QPainter& p, qreal cx, qreal cy, qreal radius, qreal angleDeg);

} // namespace art
