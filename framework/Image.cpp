#include "Image.h"

#include <QPainter>

namespace framework {

TImage::TImage(QWidget* parent, const std::string& name) : TGraphicControl(parent, name)
{
    resize(105, 105);
}

void TImage::SetPicture(const QImage& picture)
{
    picture_ = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (autoSize_ && !picture_.isNull())
        resize(picture_.size());
    update();
}

void TImage::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.size());
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
    // Only the damaged rectangles, one at a time: the window's background lies under every
    // digit and meter, and drawing all of it for each small change costs far more than the
    // change (the painter splits a large scattered area across threads).
    for (const QRect& part : PaintRegion())
        canvas.drawImage(part.topLeft(), picture_, part);
}

} // namespace framework
