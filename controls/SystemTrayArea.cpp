// The notification area through QSystemTrayIcon, made at the first add.
#include "TrayArea.h"
#include "TrayIcon.h"

#include <QSystemTrayIcon>

namespace {

class SystemTrayArea : public TrayArea {
public:
    explicit SystemTrayArea(TTrayIcon& owner) : owner_(owner) {}

    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void Add(const QIcon& icon, const std::string& tip) override
    {
        if (!tray_) {
            tray_ = std::make_unique<QSystemTrayIcon>();
            QObject::connect(tray_.get(), &QSystemTrayIcon::activated, &owner_, [this](auto reason) {
                owner_.Notify(MouseOf(reason));
            });
        }
        Show(icon, tip);
        tray_->show();
    }

    void Modify(const QIcon& icon, const std::string& tip) override
    {
        if (tray_)
            Show(icon, tip);
    }

    void Delete() override
    {
        if (tray_)
            tray_->hide();
    }

private:
    static TrayMouse MouseOf(QSystemTrayIcon::ActivationReason reason)
    {
        switch (reason) {
        case QSystemTrayIcon::Trigger: return TrayMouse::LeftUp;
        case QSystemTrayIcon::DoubleClick: return TrayMouse::LeftDoubleClick;
        case QSystemTrayIcon::Context: return TrayMouse::RightUp;
        default: return TrayMouse::Other;
        }
    }

    // The recording tick modifies the icon five times a second, mostly with what it shows
    // already: only a change goes out to the desktop.
    void Show(const QIcon& icon, const std::string& tip)
    {
        if (icon.cacheKey() != shownIcon_) {
            tray_->setIcon(icon);
            shownIcon_ = icon.cacheKey();
        }
        const QString text = QString::fromStdString(tip);
        if (text != tray_->toolTip())
            tray_->setToolTip(text);
    }

    TTrayIcon& owner_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    qint64 shownIcon_ = 0;
};

TrayAreaMaker& Maker()
{
    static TrayAreaMaker maker;
    return maker;
}

} // namespace

void SetTrayAreaMaker(TrayAreaMaker maker)
{
    Maker() = std::move(maker);
}

std::unique_ptr<TrayArea> MakeTrayArea(TTrayIcon& owner)
{
    if (Maker())
        return Maker()(owner);
    return std::make_unique<SystemTrayArea>(owner);
}
