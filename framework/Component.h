#pragma once
// The base of the window's non-visual parts (timers, image lists, menus, the tray icon):
// a named object owned by its parent, destroyed with it.
#include <QObject>
#include <string>

namespace framework {

class TComponent : public QObject {
    Q_OBJECT
public:
    explicit TComponent(QObject* owner = nullptr, const std::string& name = {});

    std::string Name() const { return objectName().toStdString(); }
    void SetName(const std::string& name) { setObjectName(QString::fromStdString(name)); }
};

} // namespace framework
