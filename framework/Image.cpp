#include "Image.h"

#include <QPainter>
#include <cmath>

namespace framework {

TImage::TImage(QWidget* parent, const std::string& name) : TGraphicControl(parent, name)
{
    resize(105, 105);
}

void TImage::SetPicture(const QImage& picture)
{
    picture_ = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize());
    update();
}

void TImage::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize());
}

QImage& TImage::Canvas()
{
    if (picture_.isNull()) {
        picture_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        picture_.fill(Qt::black);
    }
    return picture_;
}

void TImage::Paint(QPainter& canvas)
{
    if (picture_.isNull())
        return;
    const qreal ratio = picture_.devicePixelRatio();
    const qreal scale = canvas.device()->devicePixelRatio() / ratio;
    if (scale != 1) {
        // Scaled to the screen and drawn whole, so that no seams appear between pieces:
        // smoothly between pixel ratios, pixel for pixel at whole multiples (a meter drawn
        // for one ratio keeps its sharp cells at twice it).
        canvas.save();
        canvas.setRenderHint(QPainter::SmoothPixmapTransform, scale != std::round(scale));
        canvas.drawImage(QPointF(0, 0), picture_);
        canvas.restore();
        return;
    }
    // Only the damaged rectangles, one at a time: the window's background lies under every
    // digit and meter, and drawing all of it for each small change costs far more than the
    // change (the painter splits a large scattered area across threads).
    for (const QRect& part : PaintRegion())
        canvas.drawImage(QRectF(part), picture_,
            QRectF(part.x() * ratio, part.y() * ratio, part.width() * ratio, part.height() * ratio));
}

} // namespace framework
