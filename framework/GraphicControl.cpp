#include "GraphicControl.h"

#include "HandlerGuard.h"

#include <QPaintEvent>
#include <QPainter>

namespace framework {

TGraphicControl::TGraphicControl(QWidget* parent, const std::string& name) : TControl(parent, name)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TGraphicControl::paintEvent(QPaintEvent* event)
{
    paintRegion_ = event->region();
    painting_ = true;
    QPainter canvas(this);
    // Pictures drawn for another pixel ratio than the screen's are scaled smoothly.
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    Guarded([&] { Paint(canvas); });
    painting_ = false;
}

} // namespace framework
