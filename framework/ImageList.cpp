#include "ImageList.h"

#include <QPainter>

namespace framework {

TImageList::TImageList(QObject* owner, int width, int height, const std::string& name)
    : TComponent(owner, name), width_(width), height_(height)
{
}

void TImageList::Add(const QImage& image)
{
    // A picture drawn for a denser screen keeps its ratio: the cell holds as many more pixels
    // and is still drawn at the list's size.
    const qreal ratio = image.devicePixelRatio();
    QImage cell(qRound(width_ * ratio), qRound(height_ * ratio), QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter p(&cell);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    QImage source = image;
    source.setDevicePixelRatio(1);
    p.drawImage(0, 0, source);
    p.end();
    cell.setDevicePixelRatio(ratio);
    images_.push_back(std::move(cell));
}

void TImageList::AddMasked(const QImage& image, QColor mask)
{
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = mask.rgb() & 0xFFFFFF;
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
    }
    Add(argb);
}

void TImageList::AddStrip(const QImage& strip)
{
    const qreal ratio = strip.devicePixelRatio();
    const int cellWidth = qRound(width_ * ratio);
    const int cellHeight = qRound(height_ * ratio);
    for (int x = 0; x + cellWidth <= strip.width(); x += cellWidth) {
        QImage cell = strip.copy(x, 0, cellWidth, cellHeight);
        cell.setDevicePixelRatio(ratio);
        Add(cell);
    }
}

void TImageList::Draw(QPainter& canvas, int x, int y, int index, bool transparent) const
{
    if (index < 0 || index >= Count())
        return;
    const QImage& image = images_[static_cast<size_t>(index)];
    if (transparent) {
        canvas.drawImage(x, y, image);
        return;
    }
    // Opaque: every pixel as it is, the mask ignored.
    canvas.drawImage(x, y, image.convertToFormat(QImage::Format_RGB32));
}

} // namespace framework
