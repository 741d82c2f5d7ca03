#include "PopupMenu.h"

#include "HandlerGuard.h"
#include "Interaction.h"

#include <QAction>
#include <QMenu>

namespace framework {

TMenuItem::TMenuItem(QObject* owner, const std::string& name, QAction* action)
    : TComponent(owner, name), action_(action)
{
}

std::string TMenuItem::Caption() const
{
    return action_->text().toStdString();
}

void TMenuItem::SetCaption(const std::string& caption)
{
    action_->setText(QString::fromStdString(caption));
}

bool TMenuItem::Visible() const
{
    return action_->isVisible();
}

void TMenuItem::SetVisible(bool visible)
{
    action_->setVisible(visible);
}

bool TMenuItem::IsSeparator() const
{
    return action_->isSeparator();
}

void TMenuItem::Click()
{
    if (OnClick)
        Guarded(OnClick);
}

TPopupMenu::TPopupMenu(QObject* owner, const std::string& name) : TComponent(owner, name), menu_(new QMenu) {}

TPopupMenu::~TPopupMenu()
{
    delete menu_;
}

TMenuItem* TPopupMenu::Add(const std::string& name, const std::string& caption, std::function<void()> onClick)
{
    auto* item = new TMenuItem(this, name, menu_->addAction(QString::fromStdString(caption)));
    item->OnClick = std::move(onClick);
    items_.push_back(item);
    return item;
}

TMenuItem* TPopupMenu::AddSeparator(const std::string& name)
{
    auto* item = new TMenuItem(this, name, menu_->addSeparator());
    items_.push_back(item);
    return item;
}

TMenuItem* TPopupMenu::Find(const std::string& name) const
{
    for (TMenuItem* item : items_)
        if (item->Name() == name)
            return item;
    return nullptr;
}

void TPopupMenu::Popup(int screenX, int screenY)
{
    ModalRequest request;
    request.kind = ModalKind::PopupMenu;
    request.text = Name();
    request.x = screenX;
    request.y = screenY;
    const ModalAnswer answer = Interact(request, [&] {
        QAction* chosen = menu_->exec(QPoint(screenX, screenY));
        for (size_t i = 0; i < items_.size(); ++i)
            if (chosen && items_[i]->Action() == chosen)
                return ModalAnswer{static_cast<int>(i) + 1, {}};
        return ModalAnswer{};
    });
    // The command runs once the menu is closed, as a chosen entry's command does.
    if (answer.result >= 1 && answer.result <= static_cast<int>(items_.size())) {
        TMenuItem* item = items_[static_cast<size_t>(answer.result - 1)];
        if (!item->IsSeparator() && item->Visible())
            item->Click();
    }
}

} // namespace framework
