// The tray icon through Qt's own system tray, in a notification area (system-tray.sh starts
// a stand-in one on a virtual display): the clicks reach the icon's handlers, and the icon
// that a double-click removes leaves the area once that click is over, without a crash.
#include "controls/TrayIcon.h"
#include "fakes/ModalAnswers.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Qt's window of the icon in the area.
QWidget* IconWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") == 0 && widget->isVisible())
            return widget;
    return nullptr;
}

template <class Done>
bool WaitFor(Done done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void Mouse(QWidget* window, QEvent::Type type, Qt::MouseButton button)
{
    const QPointF at(window->width() / 2.0, window->height() / 2.0);
    QMouseEvent event(type, at, window->mapToGlobal(at), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
        Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

} // namespace

TEST(SystemTray, ClicksReachTheIconAndARemovalWaitsForItsClick)
{
    if (!std::getenv("KESTRUNE_TRAY_STANDIN"))
        GTEST_SKIP() << "needs the notification area of system-tray.sh";
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    TTrayIcon tray;
    tray.Icon().LoadFromFile(platform::ExeFolder() + "ti.ico");
    framework::TPopupMenu menu(nullptr, "PopupMenu1");
    tray.PopupMenu = &menu;
    std::vector<std::string> seen;
    tray.OnClick = [&] { seen.push_back("click"); };
    // As the window's restore does: the icon goes from inside its own double-click.
    tray.OnDblClick = [&] {
        seen.push_back("double");
        tray.SetActive(false);
    };
    tray.SetActive(true);
    ASSERT_TRUE(WaitFor([] { return IconWindow() != nullptr; })) << "the icon is in the area";

    fakes::ModalAnswers answers;
    QWidget* icon = IconWindow();
    Mouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    Mouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton);
    Mouse(icon, QEvent::MouseButtonPress, Qt::RightButton);
    Mouse(icon, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(seen, std::vector<std::string>{"click"});
    ASSERT_EQ(answers.Seen().size(), 1u) << "the right button opens the menu";
    EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::PopupMenu);

    Mouse(icon, QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(seen.back(), "double");
    EXPECT_NE(IconWindow(), nullptr) << "still there while its click runs";
    EXPECT_TRUE(WaitFor([] { return IconWindow() == nullptr; })) << "gone once the click is over";

    tray.SetActive(true);
    EXPECT_TRUE(WaitFor([] { return IconWindow() != nullptr; })) << "and back at the next add";
}
