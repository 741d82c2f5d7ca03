#include "Paint.h"

#include <QLinearGradient>
#include <cmath>

namespace art {

namespace {
int pixelRatio = 1;
} // namespace

void SetPixelRatio(int ratio)
{
    pixelRatio = ratio;
}

int PixelRatio()
{
    return pixelRatio;
}

QImage NewImage(int width, int height, bool alpha)
{
    QImage image(width * pixelRatio, height * pixelRatio,
        alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(alpha ? QColor(Qt::transparent) : pal::window);
    return image;
}

QImage Crop(const QImage& image, const QRect& area)
{
    const int ratio = qRound(image.devicePixelRatio());
    QImage part = image.copy(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
    part.setDevicePixelRatio(ratio);
    return part;
}

QSize LogicalSize(const QImage& image)
{
    return image.deviceIndependentSize().toSize();
}

void Begin(QPainter& p, QImage& image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

void PaintCells(QImage& image, int cellWidth, int cellHeight, int count, const std::function<void(QPainter&, int)>& paint)
{
    QPainter p;
    Begin(p, image);
    for (int i = 0; i < count; ++i) {
        p.save();
        p.translate(i * cellWidth, 0);
        p.setClipRect(0, 0, cellWidth, cellHeight);
        paint(p, i);
        p.restore();
    }
    p.end();
}

QFont SkinFont(int pixelSize, bool bold)
{
    QFont font("Liberation Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

// The up-left colour shifted up-left, the down-right colour shifted down-right, the fill on top.
void Bevel(QPainter& p, const QRect& inside, const QColor& fill, const QColor& upLeft, const QColor& downRight,
    qreal radius)
{
    const QRectF r(inside);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(downRight);
    p.drawRoundedRect(r.adjusted(0, 0, 1, 1), radius, radius);
    p.setBrush(upLeft);
    p.drawRoundedRect(r.adjusted(-1, -1, 0, 0), radius, radius);
    p.setBrush(fill);
    if (radius > 0)
        p.drawRoundedRect(r, radius, radius);
    else
        p.fillRect(inside, fill);
    p.restore();
}

} // namespace

void Recess(QPainter& p, const QRect& inside, const QColor& fill, const QColor& shadow, const QColor& light,
    qreal radius)
{
    Bevel(p, inside, fill, shadow, light, radius);
}

void Plate(QPainter& p, const QRect& inside, const QColor& fill, const QColor& light, const QColor& shadow,
    qreal radius)
{
    Bevel(p, inside, fill, light, shadow, radius);
}

void Engraved(QPainter& p, const QRect& box, int flags, const QString& text, const QFont& font,
    const QColor& dark, const QColor& light)
{
    p.save();
    p.setFont(font);
    p.setPen(light);
    p.drawText(box.translated(0, 1), flags, text);
    p.setPen(dark);
    p.drawText(box, flags, text);
    p.restore();
}

void Solid(QPainter& p, const QPainterPath& shape, const QColor& top, const QColor& bottom, const QColor& outline,
    qreal outlineWidth)
{
    const QRectF b = shape.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.save();
    p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(shape);
    p.restore();
}

QPainterPath Polygon(qreal cx, qreal cy, qreal radius, int sides, qreal startDeg)
{
    QPainterPath path;
    for (int i = 0; i < sides; ++i) {
        const qreal a = (startDeg + 360.0 * i / sides) * M_PI / 180.0;
        const QPointF c(cx + radius * std::cos(a), cy + radius * std::sin(a));
        if (i == 0)
            path.moveTo(c);
        else
            path.lineTo(c);
    }
    path.closeSubpath();
    return path;
}

} // namespace art
