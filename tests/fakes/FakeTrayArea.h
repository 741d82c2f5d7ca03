#pragma once
// Stands in for the desktop's notification area while alive: it says whether the desktop has
// one, keeps what the tray icons made since did to it, and clicks an icon as a user would.
// Qt's system tray comes back when it goes.
#include "TempFolder.h"
#include "controls/TrayIcon.h"
#include "framework/Icon.h"

#include <QImage>
#include <memory>
#include <string>
#include <vector>

namespace fakes {

class FakeTrayArea {
public:
    explicit FakeTrayArea(bool available = true) : available_(available)
    {
        SetTrayAreaMaker([this](TTrayIcon& owner) { return std::make_unique<Area>(*this, owner); });
    }
    ~FakeTrayArea() { SetTrayAreaMaker({}); }
    FakeTrayArea(const FakeTrayArea&) = delete;
    FakeTrayArea& operator=(const FakeTrayArea&) = delete;

    std::vector<std::string> calls; // "add", "modify", "delete" in order
    bool shown = false;
    QIcon icon;                     // as last added or modified
    std::string tip;

    // Which of the five tray pictures in the folder the area shows; empty for none of them.
    std::string Picture(const std::string& folder) const
    {
        if (icon.isNull())
            return {};
        for (const char* name : TrayPictures) {
            framework::TIcon file;
            file.LoadFromFile(folder + name);
            if (file.Picture().pixmap(16).toImage() == icon.pixmap(16).toImage())
                return name;
        }
        return {};
    }

    // The mouse on the most recently made icon.
    void Click(TrayMouse mouse) { owner_->Notify(mouse); }

private:
    class Area : public TrayArea {
    public:
        Area(FakeTrayArea& fake, TTrayIcon& owner) : fake_(fake) { fake_.owner_ = &owner; }
        bool Available() const override { return fake_.available_; }
        void Add(const QIcon& icon, const std::string& tip) override { Show("add", icon, tip); }
        void Modify(const QIcon& icon, const std::string& tip) override { Show("modify", icon, tip); }
        void Delete() override
        {
            fake_.calls.push_back("delete");
            fake_.shown = false;
        }

    private:
        void Show(const char* call, const QIcon& icon, const std::string& tip)
        {
            fake_.calls.push_back(call);
            fake_.shown = true;
            fake_.icon = icon;
            fake_.tip = tip;
        }
        FakeTrayArea& fake_;
    };

    bool available_;
    TTrayIcon* owner_ = nullptr;
};

} // namespace fakes
