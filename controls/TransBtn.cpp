#include "TransBtn.h"

#include "framework/HandlerGuard.h"
#include "platform/TickCount.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <algorithm>

using framework::Guarded;
using framework::TMouseButton;

TTransparentButton::TTransparentButton(QWidget* parent, const std::string& name) : TGraphicControl(parent, name)
{
    resize(40, 40);
    // Moves are reported over the button whether or not a mouse button is down.
    setMouseTracking(true);
}

// ---- Properties -------------------------------------------------------------------------

void TTransparentButton::SetImageIndex(int index)
{
    imageIndex_ = index;
    Invalidate();
}

void TTransparentButton::SetNumGlyphs(int count)
{
    StoreAndInvalidate(numGlyphs_, std::clamp(count, 1, 4));
}

void TTransparentButton::SetFrameStyle(TFrameStyle style)
{
    StoreAndInvalidate(frameStyle_, style);
}

void TTransparentButton::SetTransparent(bool on)
{
    StoreAndInvalidate(transparent_, on);
}

void TTransparentButton::SetDown(bool down)
{
    if (down == down_)
        return;
    down_ = down;
    tracking_ = down;
    drawnPressed_ = down;
    RepaintNow();
}

void TTransparentButton::SetBorderWidth(uint32_t width)
{
    StoreAndInvalidate(borderWidth_, width);
}

void TTransparentButton::SetCaption(const std::string& caption)
{
    if (StoreAndInvalidate(caption_, caption))
        GrabAccelerator();
}

void TTransparentButton::SetTextAlign(TTextAlign align)
{
    StoreAndInvalidate(textAlign_, align);
}

void TTransparentButton::SetSpacing(int spacing)
{
    StoreAndInvalidate(spacing_, spacing);
}

void TTransparentButton::SetWordWrap(bool on)
{
    StoreAndInvalidate(wordWrap_, on);
}

void TTransparentButton::RepaintNow()
{
    ++repaintRequests_;
    repaint();
}

void TTransparentButton::Invalidate()
{
    ++repaintRequests_;
    update();
}

void TTransparentButton::Click()
{
    if (OnClick)
        Guarded(OnClick);
}

// ---- Accelerator ------------------------------------------------------------------------

// The caption's '&' character, with Alt, reaches the button as a window-wide shortcut.
void TTransparentButton::GrabAccelerator()
{
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
    acceleratorId_ = 0;
    const QKeySequence key = QKeySequence::mnemonic(QString::fromStdString(caption_));
    if (!key.isEmpty())
        acceleratorId_ = grabShortcut(key);
}

bool TTransparentButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const QKeySequence key = QKeySequence::mnemonic(QString::fromStdString(caption_));
        if (!key.isEmpty() && static_cast<QShortcutEvent*>(event)->key() == key && isEnabled()) {
            Click();
            return true;
        }
    }
    return TGraphicControl::event(event);
}

// ---- Enabled, pointer enter and leave ---------------------------------------------------

void TTransparentButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        // Disabled (itself or through its parent): back to idle at once, whatever was going on.
        if (!isEnabled()) {
            drawnPressed_ = false;
            tracking_ = false;
            held_ = false;
            pointerInside_ = false;
            clickPending_ = false;
        }
        RepaintNow();
    }
    TGraphicControl::changeEvent(event);
}

void TTransparentButton::enterEvent(QEnterEvent*)
{
    SyncPointerOver(true);
}

void TTransparentButton::leaveEvent(QEvent*)
{
    SyncPointerOver(false);
}

// Enter and leave come from Qt when the pointer crosses the edge with no mouse button down,
// and from mouseMoveEvent while one is down (Qt holds them back until the release, but the
// button must lose its hot look as soon as a press is dragged off it). Each crossing is
// handled once, enabled or not; the handlers themselves ignore it while disabled.
void TTransparentButton::SyncPointerOver(bool over)
{
    if (over == pointerOver_)
        return;
    pointerOver_ = over;
    PointerCrossed(over);
}

// Pointer enter and leave: only while enabled; the hot look belongs to fsExplorer and the
// three-state glyphs.
void TTransparentButton::PointerCrossed(bool inside)
{
    if (!isEnabled())
        return;
    pointerInside_ = inside;
    QPointer<TTransparentButton> alive(this);
    if (const auto& handler = inside ? OnMouseEnter : OnMouseExit)
        Guarded(handler);
    if (alive && (frameStyle_ == fsExplorer || threeState_))
        RepaintNow();
}

// ---- Mouse ------------------------------------------------------------------------------

void TTransparentButton::mousePressEvent(QMouseEvent* event)
{
    Press(event);
}

// A double-click is one more press: two quick clicks are two clicks.
void TTransparentButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    Press(event);
}

namespace {
// Where the last mouse click went, on the screen, and when (ticks, milliseconds): the window
// may put another button in that place at once (Stop gives way to Record and Pause), and the
// second press of a double-click must not reach it.
struct LastClick {
    QPointer<TTransparentButton> button; // it gave way when it is hidden now
    QRect screenRect;
    uint32_t tick = 0;
};
LastClick lastClick;

bool TookThePlaceOfTheLastClick(const TTransparentButton* button, const QPoint& screenPoint)
{
    const TTransparentButton* clicked = lastClick.button.data();
    return clicked && clicked != button && clicked->isHidden() && clicked->parentWidget() == button->parentWidget()
        && lastClick.screenRect.contains(screenPoint)
        && platform::GetTickCount() - lastClick.tick < static_cast<uint32_t>(QApplication::doubleClickInterval());
}
} // namespace

void TTransparentButton::Press(QMouseEvent* event)
{
    if (TookThePlaceOfTheLastClick(this, event->globalPosition().toPoint()))
        return;
    if (event->button() == Qt::LeftButton && isEnabled())
        clickPending_ = true;
    const QPoint p = event->position().toPoint();
    MouseDown(framework::ButtonOf(event->button()), event->modifiers(), p.x(), p.y());
}

void TTransparentButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    QPointer<TTransparentButton> alive(this);
    MouseMove(event->modifiers(), p.x(), p.y());
    // Measured from the global position: a movable button may have moved under the pointer.
    if (alive && event->buttons() != Qt::NoButton)
        SyncPointerOver(rect().contains(mapFromGlobal(event->globalPosition().toPoint())));
}

// The click comes first, while the button is still drawn pressed: a command that opens a
// modal dialog leaves the button pressed until the dialog closes.
void TTransparentButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const QPointer<TTransparentButton> alive(this);
    if (event->button() == Qt::LeftButton && clickPending_) {
        clickPending_ = false;
        if (rect().contains(p)) {
            lastClick = {this, QRect(mapToGlobal(QPoint(0, 0)), size()), platform::GetTickCount()};
            Click();
            if (!alive)
                return;
        }
    }
    MouseUp(framework::ButtonOf(event->button()), event->modifiers(), p.x(), p.y());
    // The form's menu, as on any of its controls, with the right button's release.
    if (alive && event->button() == Qt::RightButton && PopupMenu()) {
        const QPoint at = event->globalPosition().toPoint();
        PopupMenu()->Popup(at.x(), at.y());
    }
}

void TTransparentButton::MouseDown(TMouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (!isEnabled() || held_)
        return;
    held_ = true;
    QPointer<TTransparentButton> alive(this);
    if (OnMouseDown)
        Guarded([&] { OnMouseDown(button, modifiers, x, y); });
    if (!alive)
        return;
    if (movable_) {
        pressX_ = x;
        pressY_ = y;
    }
    if (rect().contains(x, y)) {
        tracking_ = true;
        drawnPressed_ = true;
        RepaintNow();
    }
    if (framework::TPopupMenu* menu = popUpMenu_.data()) {
        const QPoint at = mapToGlobal(QPoint(0, height()));
        menu->Popup(at.x(), at.y()); // modal: returns when the menu has closed
        if (!alive)
            return;
        // The press's own release went to the menu; what is still queued belongs to it too.
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                 QEvent::MouseMove})
            QCoreApplication::removePostedEvents(nullptr, type);
        clickPending_ = false;
        MouseUp(button, modifiers, x, y);
    }
}

void TTransparentButton::MouseMove(Qt::KeyboardModifiers modifiers, int x, int y)
{
    QPointer<TTransparentButton> alive(this);
    if (OnMouseMove)
        Guarded([&] { OnMouseMove(modifiers, x, y); });
    if (!alive || !tracking_)
        return;
    if (movable_)
        move(this->x() + (x - pressX_), this->y() + (y - pressY_));
    const bool inside = rect().contains(x, y);
    if (inside && !drawnPressed_) {
        drawnPressed_ = true;
        RepaintNow();
    } else if (!inside && drawnPressed_) {
        drawnPressed_ = false;
        RepaintNow();
    }
}

void TTransparentButton::MouseUp(TMouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (!isEnabled() || !held_)
        return;
    held_ = false;
    if (down_)
        return; // latched: stays as it is drawn, and says nothing
    QPointer<TTransparentButton> alive(this);
    if (OnMouseUp)
        Guarded([&] { OnMouseUp(button, modifiers, x, y); });
    if (!alive)
        return;
    tracking_ = false;
    drawnPressed_ = false;
    RepaintNow();
}
