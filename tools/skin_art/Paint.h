// The skin's palette and the few drawing habits every picture shares.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <functional>

namespace art {

// One palette for the whole skin: charcoal window, green frame, brass-gold panel.
namespace pal {
inline const QColor window(50, 50, 50);          // the window colour; dark fields and labels use it
inline const QColor ink(18, 18, 16);             // outlines and the darkest recesses
inline const QColor greenDark(20, 56, 33);
inline const QColor green(38, 98, 58);
inline const QColor greenLight(84, 156, 100);
inline const QColor gold(190, 174, 55);          // the panel, and the peak labels' background
inline const QColor goldDeep(150, 138, 42);      // recessed plates, and the level labels' background
inline const QColor goldLight(228, 214, 122);    // bevel highlights on the panel
inline const QColor goldShadow(108, 98, 26);     // bevel shadows on the panel
inline const QColor engrave(92, 82, 20);         // lettering cut into the panel
inline const QColor cream(240, 232, 196);        // lettering on green
inline const QColor silverTop(248, 248, 240);    // glyphs: lit from above
inline const QColor silverBottom(168, 168, 160);
inline const QColor glyphOutline(16, 16, 14);
inline const QColor lcdLit(84, 255, 112);
inline const QColor lcdDim(14, 40, 18);
inline const QColor recGreen(52, 204, 84);
inline const QColor tape(86, 56, 34);
} // namespace pal

// The pictures are drawn for screens of this many device pixels per window pixel (1 or 2).
// Every size and place the drawing code names stays in window pixels; a picture carries the
// ratio, so a painter on it scales by itself.
void SetPixelRatio(int ratio);
int PixelRatio();

// A cleared picture of width x height window pixels at the current ratio: transparent when it
// has alpha, else filled with the window colour.
QImage NewImage(int width, int height, bool alpha);

// The part of a picture under a rectangle given in window pixels, at the picture's ratio.
QImage Crop(const QImage& image, const QRect& area);

// A picture's size in window pixels.
QSize LogicalSize(const QImage& image);

// An anti-aliased painter on the picture.
void Begin(QPainter& p, QImage& image);

// Paints count cells side by side into the picture, each clipped to its own cell with the
// painter's origin at the cell's top-left corner.
void PaintCells(QImage& image, int cellWidth, int cellHeight, int count, const std::function<void(QPainter&, int)>& paint);

// Liberation Sans at a pixel size, so text comes out the same on every machine.
QFont SkinFont(int pixelSize, bool bold = false);

// A recess whose inside is exactly `inside` filled with `fill`: a one-pixel shadow above
// and left of it, a one-pixel highlight below and right, rounded by `radius` (0 for square).
void Recess(QPainter& p, const QRect& inside, const QColor& fill, const QColor& shadow, const QColor& light,
    qreal radius);

// The same with the light from the other side: a raised plate.
void Plate(QPainter& p, const QRect& inside, const QColor& fill, const QColor& light, const QColor& shadow,
    qreal radius);

// Text cut into a surface: dark letters with a light edge one pixel below.
void Engraved(QPainter& p, const QRect& box, int flags, const QString& text, const QFont& font,
    const QColor& dark, const QColor& light);

// Fills a shape with a top-to-bottom gradient and outlines it; the outline sits half outside.
void Solid(QPainter& p, const QPainterPath& shape, const QColor& top, const QColor& bottom, const QColor& outline,
    qreal outlineWidth = 1.0);

// A regular polygon with `sides` corners around (cx, cy), the first corner at `startDeg`.
QPainterPath Polygon(qreal cx, qreal cy, qreal radius, int sides, qreal startDeg);

} // namespace art
