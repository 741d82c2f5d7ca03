#include "ImageList.h"

#include <QPainter>

namespace framework {

TImageList::TImageList(QObject* owner, int width, int height, const std::string& name)
    : TComponent(owner, name), width_(width), height_(height)
{
}

void TImageList::Add(const QImage& image)
{
    QImage cell(width_, height_, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter p(&cell);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, image);
    p.end();
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
    for (int x = 0; x + width_ <= strip.width(); x += width_)
        Add(strip.copy(x, 0, width_, height_));
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
