#pragma once
// The desktop's notification area as a tray icon uses it: one icon with a tooltip, added,
// changed and removed. Qt's system tray in the program; tests put a recorder in its place.
#include <QIcon>
#include <functional>
#include <memory>
#include <string>

class TTrayIcon;

class TrayArea {
public:
    virtual ~TrayArea() = default;
    // The desktop has a notification area to show the icon in.
    virtual bool Available() const = 0;
    virtual void Add(const QIcon& icon, const std::string& tip) = 0;
    virtual void Modify(const QIcon& icon, const std::string& tip) = 0;
    virtual void Delete() = 0;
};

// The area of every tray icon made from now on, which reports the mouse to `owner` through
// TTrayIcon::Notify; an empty maker restores Qt's system tray.
using TrayAreaMaker = std::function<std::unique_ptr<TrayArea>(TTrayIcon& owner)>;
void SetTrayAreaMaker(TrayAreaMaker maker);
std::unique_ptr<TrayArea> MakeTrayArea(TTrayIcon& owner);
