// The tray icon component against a recording notification area, and the icon files it
// shows.
#include "controls/TrayIcon.h"
#include "fakes/FakeTrayArea.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TempFolder.h"
#include "platform/Paths.h"
#include "platform/PlatformError.h"

#include <QCoreApplication>
#include <QCursor>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

std::string Icon(const char* name)
{
    return platform::ExeFolder() + name;
}

std::string LoadError(framework::TIcon& icon, const std::string& path)
{
    try {
        icon.LoadFromFile(path);
    } catch (const platform::PlatformError& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(TrayIcon, AddModifyAndDeleteFollowActiveToolTipAndIcon)
{
    fakes::FakeTrayArea area;
    auto tray = std::make_unique<TTrayIcon>();
    tray->SetToolTip("Kestrune");
    tray->Icon().LoadFromFile(Icon("ti.ico"));
    EXPECT_TRUE(area.calls.empty()) << "nothing is shown while not active";

    tray->SetActive(true);
    tray->SetActive(true);
    EXPECT_EQ(area.calls, Calls{"add"});
    EXPECT_EQ(area.Picture(platform::ExeFolder()), "ti.ico");
    EXPECT_EQ(area.tip, "Kestrune");

    // Loading tells the area nothing; the next modify shows the new picture.
    tray->Icon().LoadFromFile(Icon("ti_rec.ico"));
    EXPECT_EQ(area.Picture(platform::ExeFolder()), "ti.ico");
    const std::string seventy = "Recording(00:00:01) " + std::string(50, 'x');
    tray->SetToolTip(seventy);
    EXPECT_EQ(area.calls, (Calls{"add", "modify"}));
    EXPECT_EQ(area.tip, seventy.substr(0, 62));
    EXPECT_EQ(tray->ToolTip(), seventy.substr(0, 62));
    EXPECT_EQ(area.Picture(platform::ExeFolder()), "ti_rec.ico");
    // Characters, not bytes: 70 two-byte letters keep 62 whole ones.
    std::string accented;
    for (int i = 0; i < 70; ++i)
        accented += "\xC3\xA9";
    tray->SetToolTip(accented);
    EXPECT_EQ(tray->ToolTip(), accented.substr(0, 124));

    tray->SetActive(false);
    tray->SetToolTip("Kestrune");
    EXPECT_EQ(area.calls.back(), "delete");
    EXPECT_FALSE(area.shown);

    // Added without a tip: modified once more when the add is through.
    auto untipped = std::make_unique<TTrayIcon>();
    area.calls.clear();
    untipped->SetActive(true);
    EXPECT_EQ(area.calls, Calls{"add"});
    QCoreApplication::processEvents();
    EXPECT_EQ(area.calls, (Calls{"add", "modify"}));
    // A shown icon leaves with the component.
    untipped.reset();
    EXPECT_EQ(area.calls.back(), "delete");
}

TEST(TrayIcon, TheMouseOnTheIcon)
{
    fakes::FakeTrayArea area;
    fakes::ModalAnswers answers;
    TTrayIcon tray;
    framework::TPopupMenu menu(nullptr, "PopupMenu1");
    std::vector<std::string> seen;
    menu.Add("Restore1", "Restore", [&] { seen.push_back("restore"); });
    tray.OnClick = [&] { seen.push_back("click"); };
    tray.OnDblClick = [&] { seen.push_back("double-click"); };
    tray.OnRightClick = [&](framework::TMouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        EXPECT_EQ(button, framework::TMouseButton::Right);
        EXPECT_EQ(shift, Qt::NoModifier);
        EXPECT_EQ(QPoint(x, y), QCursor::pos());
        seen.push_back("right-click");
    };

    area.Click(TrayMouse::RightUp);
    EXPECT_TRUE(seen.empty()) << "no menu, nothing";
    tray.PopupMenu = &menu;
    answers.Queue({1, {}});
    area.Click(TrayMouse::LeftUp);
    area.Click(TrayMouse::LeftDoubleClick);
    area.Click(TrayMouse::Other);
    area.Click(TrayMouse::RightUp);
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "double-click", "restore", "right-click"}));
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::PopupMenu);
    EXPECT_EQ(answers.Seen()[0].text, "PopupMenu1");
    EXPECT_EQ(QPoint(answers.Seen()[0].x, answers.Seen()[0].y), QCursor::pos());
}

TEST(TrayIcon, IconFilesThatCannotBeShown)
{
    fakes::TempFolder folder;
    const std::string good = fakes::ReadWholeFile(Icon("ti.ico"));
    const struct {
        const char* name;
        std::string bytes;
    } broken[] = {
        {"empty.ico", ""},
        {"text.ico", "not an icon at all"},
        {"png.ico", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, '\0')},
        {"header-only.ico", good.substr(0, 22)},
        {"no-images.ico", std::string("\0\0\1\0\0\0", 6)},
        {"huge.ico", good + std::string(5 << 20, '\0')},
    };
    framework::TIcon icon;
    icon.LoadFromFile(Icon("ti.ico"));
    const qint64 shown = icon.Picture().cacheKey();
    EXPECT_EQ(LoadError(icon, folder.File("missing.ico")), "Cannot open file " + folder.File("missing.ico"));
    for (const auto& b : broken) {
        SCOPED_TRACE(b.name);
        fakes::WriteWholeFile(folder.File(b.name), b.bytes);
        EXPECT_EQ(LoadError(icon, folder.File(b.name)), "Icon image is not valid");
        EXPECT_EQ(icon.Picture().cacheKey(), shown) << "the picture stays";
    }
    EXPECT_EQ(LoadError(icon, folder.Path()), "Cannot open file " + folder.Path()) << "a folder";
    // The same file again keeps the picture as it is, so a tray need not be told.
    icon.LoadFromFile(Icon("ti.ico"));
    EXPECT_EQ(icon.Picture().cacheKey(), shown);
}
