#pragma once
// A control without a background of its own: it paints on top of whatever its parent shows
// beneath it, in Paint, with the canvas it is handed.
#include "Control.h"

#include <QRegion>

class QPainter;

namespace framework {

class TGraphicControl : public TControl {
    Q_OBJECT
public:
    explicit TGraphicControl(QWidget* parent = nullptr, const std::string& name = {});

protected:
    virtual void Paint(QPainter& canvas) = 0;
    void paintEvent(QPaintEvent* event) override;
    // The part of the control being painted now (all of it outside a paint).
    QRegion PaintRegion() const { return painting_ ? paintRegion_ : QRegion(rect()); }

private:
    QRegion paintRegion_;
    bool painting_ = false;
};

} // namespace framework
