// The notification area through QSystemTrayIcon, made at the first add.
#include "TrayArea.h"
#include "TrayIcon.h"

#include <QSystemTrayIcon>
#include <QTimer>

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
        hidePending_ = false;
        Show(icon, tip);
        if (!tray_->isVisible())
            tray_->show();
    }

    void Modify(const QIcon& icon, const std::string& tip) override
    {
        if (tray_)
            Show(icon, tip);
    }

    // Hiding destroys the icon's own window, where the click that asked for it (a double-click,
    // an entry of the right button's menu) may still be running: it goes once that is over. A
    // new add before then keeps the icon where it is, so a refresh does not flicker.
    void Delete() override
    {
        if (!tray_)
            return;
        hidePending_ = true;
        QTimer::singleShot(0, tray_.get(), [this] {
            if (hidePending_)
                tray_->hide();
            hidePending_ = false;
        });
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
    bool hidePending_ = false;
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
