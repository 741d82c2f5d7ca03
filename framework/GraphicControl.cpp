#include "GraphicControl.h"

#include "HandlerGuard.h"

#include <QPainter>

namespace framework {

TGraphicControl::TGraphicControl(QWidget* parent, const std::string& name) : TControl(parent, name)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TGraphicControl::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    Guarded([&] { Paint(canvas); });
}

} // namespace framework
