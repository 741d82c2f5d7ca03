#pragma once
// A visible element of a form. Its Visible flag is its own (as set), whatever its parent's
// state, because the window's rules read and write it before and while the form is shown.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

namespace framework {

class TPopupMenu;
class TRepaintPacer;

enum class TMouseButton { Left, Right, Middle };

class TControl : public QWidget {
    Q_OBJECT
public:
    explicit TControl(QWidget* parent = nullptr, const std::string& name = {});

    std::string Name() const { return objectName().toStdString(); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetBounds(int left, int top, int width, int height) { setGeometry(left, top, width, height); }

    std::string Hint() const { return toolTip().toStdString(); }
    void SetHint(const std::string& hint) { setToolTip(QString::fromStdString(hint)); }

    // The menu that a right-button click on the control opens at the pointer (a plain
    // reference; it becomes null when the menu is destroyed).
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* menu);

    // Mouse handlers, with coordinates in the control's own pixels. Each runs guarded.
    std::function<void()> OnClick;
    std::function<void(TMouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
    std::function<void(Qt::KeyboardModifiers, int, int)> OnMouseMove;
    std::function<void(TMouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;

    // A control that changes often repaints at the pacer's pace, with the controls it goes
    // with (the meters, their labels, the turning reels).
    void SetRepaintPacer(TRepaintPacer* pacer);

protected:
    // Asks for a repaint of the whole control: through the pacer when it has one.
    void RequestRepaint();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool visible_ = true;
    QPointer<TPopupMenu> popupMenu_;
    QPointer<TRepaintPacer> pacer_;
};

TMouseButton ButtonOf(Qt::MouseButton button);

} // namespace framework
