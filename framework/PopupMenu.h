#pragma once
// A pop-up menu: an ordered list of entries (commands and separators) whose caption,
// visibility and command may change at any time. Popping it up is a modal interaction: it
// runs through the interaction hook, so a test chooses an entry instead of a user.
#include "Component.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace framework {

class TMenuItem : public TComponent {
    Q_OBJECT
public:
    TMenuItem(QObject* owner, const std::string& name, QAction* action);

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Visible() const;
    void SetVisible(bool visible);
    bool IsSeparator() const;

    // Runs OnClick through the handler guard (what choosing the entry does).
    void Click();
    std::function<void()> OnClick;

    QAction* Action() const { return action_; }

private:
    QAction* action_;
};

class TPopupMenu : public TComponent {
    Q_OBJECT
public:
    explicit TPopupMenu(QObject* owner = nullptr, const std::string& name = {});
    ~TPopupMenu() override;

    // Appends an entry; its caption may mark an accelerator with '&'. Owned by the menu.
    TMenuItem* Add(const std::string& name, const std::string& caption, std::function<void()> onClick = {});
    TMenuItem* AddSeparator(const std::string& name);

    const std::vector<TMenuItem*>& Items() const { return items_; }
    // The entry of that name, or null.
    TMenuItem* Find(const std::string& name) const;

    // Shows the menu at a screen position and returns when it has closed; the chosen entry's
    // command runs after the menu is gone. Through the interaction hook: a hook answers with
    // the chosen entry's position in Items() plus one, or 0 for none.
    void Popup(int screenX, int screenY);

    QMenu* Menu() const { return menu_; }

private:
    QMenu* menu_;
    std::vector<TMenuItem*> items_;
};

} // namespace framework
