#include "Control.h"

#include "HandlerGuard.h"
#include "PopupMenu.h"
#include "RepaintPacer.h"

#include <QMouseEvent>

namespace framework {

TMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton: return TMouseButton::Right;
    case Qt::MiddleButton: return TMouseButton::Middle;
    default: return TMouseButton::Left;
    }
}

TControl::TControl(QWidget* parent, const std::string& name) : QWidget(parent)
{
    setObjectName(QString::fromStdString(name));
}

void TControl::SetRepaintPacer(TRepaintPacer* pacer)
{
    pacer_ = pacer;
}

void TControl::RequestRepaint()
{
    if (pacer_)
        pacer_->Invalidate(this);
    else
        update();
}

void TControl::SetVisible(bool visible)
{
    visible_ = visible;
    setVisible(visible);
}

TPopupMenu* TControl::PopupMenu() const
{
    return popupMenu_.data();
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    popupMenu_ = menu;
}

void TControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseDown)
        Guarded([&] { OnMouseDown(ButtonOf(event->button()), event->modifiers(), p.x(), p.y()); });
}

void TControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        Guarded([&] { OnMouseMove(event->modifiers(), p.x(), p.y()); });
}

void TControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp)
        Guarded([&] { OnMouseUp(ButtonOf(event->button()), event->modifiers(), p.x(), p.y()); });
    if (OnClick && event->button() == Qt::LeftButton && rect().contains(p))
        Guarded(OnClick);
    // The context menu comes with the right button's release, after the release handler.
    if (popupMenu_ && event->button() == Qt::RightButton) {
        const QPoint at = event->globalPosition().toPoint();
        Guarded([&] { popupMenu_->Popup(at.x(), at.y()); });
    }
}

} // namespace framework
