#pragma once
// Shows exactly one image of an image list, chosen by index: the time digits and the turning
// reels. Not opaque: the parent shows wherever the image is transparent.
#include "framework/GraphicControl.h"
#include "framework/ImageList.h"

class TIndexImage : public framework::TGraphicControl {
    Q_OBJECT
public:
    explicit TIndexImage(QWidget* parent = nullptr, const std::string& name = {});

    // A plain reference: the list must outlive the control. Assigning it does not repaint.
    framework::TImageList* ImageList() const { return imageList_; }
    void SetImageList(framework::TImageList* list) { imageList_ = list; }

    int ImageIndex() const { return imageIndex_; }
    // Stores any value and asks for a repaint, every time, also when it is unchanged.
    void SetImageIndex(int index);

    // Repaint requests so far (tests count them; the window coalesces the real paints).
    int RepaintRequests() const { return repaintRequests_; }

protected:
    void Paint(QPainter& canvas) override;

private:
    framework::TImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    int repaintRequests_ = 0;
};
