#include "IndexImage.h"

#include <QPainter>

TIndexImage::TIndexImage(QWidget* parent, const std::string& name) : TGraphicControl(parent, name)
{
    resize(40, 40);
}

void TIndexImage::SetImageIndex(int index)
{
    imageIndex_ = index;
    ++repaintRequests_;
    RequestRepaint();
}

void TIndexImage::Paint(QPainter& canvas)
{
    // Drawn in the image's own size from the top-left corner; a smaller control shows only
    // the image's top-left part.
    if (imageList_)
        imageList_->Draw(canvas, 0, 0, imageIndex_, true);
}
