#include "TrayIcon.h"

#include "framework/Application.h"
#include "framework/HandlerGuard.h"

#include <QCursor>
#include <QMetaObject>

namespace {

// The first `count` characters of UTF-8 text, never cutting one in two.
std::string FirstCharacters(const std::string& text, size_t count)
{
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && seen++ == count)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

TTrayIcon::TTrayIcon(QObject* owner, const std::string& name) : TComponent(owner, name), area_(MakeTrayArea(*this))
{
}

TTrayIcon::~TTrayIcon()
{
    if (active_)
        area_->Delete();
}

void TTrayIcon::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (active_)
        Add();
    else
        area_->Delete();
}

void TTrayIcon::SetIcon(const framework::TIcon& icon)
{
    if (&icon != &icon_)
        icon_ = icon;
    Modify();
}

void TTrayIcon::SetToolTip(const std::string& text)
{
    toolTip_ = FirstCharacters(text, MaxToolTip);
    Modify();
}

void TTrayIcon::Add()
{
    area_->Add(icon_.Picture(), toolTip_);
    // An icon added without a tip is modified once more when the add is through, with the
    // tip it has by then.
    if (toolTip_.empty())
        QMetaObject::invokeMethod(this, [this] { framework::Guarded([this] { SetToolTip(toolTip_); }); },
            Qt::QueuedConnection);
}

void TTrayIcon::Modify()
{
    if (active_)
        area_->Modify(icon_.Picture(), toolTip_);
}

void TTrayIcon::Notify(TrayMouse mouse)
{
    framework::Guarded([&] {
        switch (mouse) {
        case TrayMouse::LeftUp:
            if (OnClick)
                OnClick();
            break;
        case TrayMouse::LeftDoubleClick:
            if (OnDblClick)
                OnDblClick();
            break;
        case TrayMouse::RightUp: {
            if (!PopupMenu)
                break;
            // What is pending goes first, so the menu opens on the program as it is now.
            framework::Application().ProcessMessages();
            const QPoint at = QCursor::pos();
            PopupMenu->Popup(at.x(), at.y());
            if (OnRightClick)
                OnRightClick(framework::TMouseButton::Right, Qt::NoModifier, at.x(), at.y());
            break;
        }
        case TrayMouse::Other: break;
        }
    });
}
