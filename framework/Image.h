#pragma once
// A picture control: shows its bitmap from the top-left corner, through the bitmap's alpha.
// Code may draw on the bitmap (Canvas) and then Invalidate to show the change.
#include "GraphicControl.h"

#include <QImage>

namespace framework {

class TImage : public TGraphicControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr, const std::string& name = {});

    const QImage& Picture() const { return picture_; }
    // With AutoSize the control takes the bitmap's size.
    void SetPicture(const QImage& picture);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // The bitmap to draw on; created at the control's size when there is none yet.
    QImage& Canvas();
    void Invalidate() { update(); }

protected:
    void Paint(QPainter& canvas) override;

private:
    QImage picture_;
    bool autoSize_ = false;
};

} // namespace framework
