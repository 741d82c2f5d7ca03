#pragma once
// TTrayIcon: the program's icon in the desktop's notification area. Its picture and tooltip
// are what the window sets; a double-click and the right button's menu reach the window.
// Lives on the window thread; owned by its form.
#include "TrayArea.h"
#include "framework/Component.h"
#include "framework/Control.h"
#include "framework/Icon.h"
#include "framework/PopupMenu.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

// What the area reports of the mouse on the icon.
enum class TrayMouse { LeftUp, LeftDoubleClick, RightUp, Other };

class TTrayIcon : public framework::TComponent {
    Q_OBJECT
public:
    // The longest tooltip, in characters; a longer one is cut.
    static constexpr size_t MaxToolTip = 62;

    explicit TTrayIcon(QObject* owner = nullptr, const std::string& name = {});
    // A shown icon leaves the area with the component.
    ~TTrayIcon() override;

    // Shown in the area: true adds the icon, false deletes it; the same value again does nothing.
    bool Active() const { return active_; }
    void SetActive(bool active);

    // The picture. Loading a file into Icon() tells the area nothing: the new picture shows at
    // the next add or modify.
    framework::TIcon& Icon() { return icon_; }
    void SetIcon(const framework::TIcon& icon);

    // Cut to MaxToolTip characters; a shown icon takes it (and Icon) at once.
    const std::string& ToolTip() const { return toolTip_; }
    void SetToolTip(const std::string& text);

    // Whether the application's own taskbar entry shows. Kept as set: here the taskbar entry
    // is the main window's, shown exactly while the window is.
    bool ShowApp() const { return showApp_; }
    void SetShowApp(bool show) { showApp_ = show; }

    // A name under which a second copy of the program would find the first. Kept as set: the
    // program leaves it empty and any number of copies may run.
    std::string IDMessage;
    // There is no designer to show the icon in.
    bool ShowDesigning = false;

    // The desktop has a notification area to show the icon in.
    bool AreaAvailable() const { return area_->Available(); }

    // Opened at the cursor by the right button.
    QPointer<framework::TPopupMenu> PopupMenu;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    // After the menu: the right button, no shift keys, the cursor's screen position.
    std::function<void(framework::TMouseButton, Qt::KeyboardModifiers, int, int)> OnRightClick;

    // The area's report of the mouse on the icon; an entry from Qt into the program.
    void Notify(TrayMouse mouse);

private:
    void Add();
    void Modify();

    std::unique_ptr<TrayArea> area_;
    bool active_ = false;
    bool showApp_ = false;
    framework::TIcon icon_;
    std::string toolTip_;
};
