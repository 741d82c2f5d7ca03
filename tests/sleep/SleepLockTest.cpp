// The sleep lock against a stand-in logind on a private bus (run by tests/sleep/sleep-lock.sh,
// which starts both and points the system bus there; skipped elsewhere).
#include "fakes/FakeRecordEngine.h"
#include "fakes/TestWindow.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
// The locks the stand-in sees open, as "what|who|why|mode".
QStringList Holders()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(std::getenv("DBUS_SYSTEM_BUS_ADDRESS")),
        QStringLiteral("standin"));
    const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.kestrune.StandIn"), QStringLiteral("Holders")));
    return reply.arguments().value(0).toStringList();
}
} // namespace

TEST(SleepLock, HeldWhileTheRecordingCanWriteOnly)
{
    if (!std::getenv("KESTRUNE_LOGIND_STANDIN"))
        GTEST_SKIP() << "needs the stand-in logind of sleep-lock.sh";
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win;
    win->Settings.Format.UseWma = false;
    win->Settings.Format.RecordType = 0;
    win->Settings.AutoPause.Enable = true;
    win->Settings.AutoPause.LowerLevel = 10;
    win->Settings.AutoPause.LowerTime = 1;
    win->Settings.AutoPause.LouderLevel = 20;
    EXPECT_TRUE(Holders().isEmpty()) << "idle";

    win->Session->State.TargetFile = win.folder.File("take.wav");
    win->tbRecordClick();
    ASSERT_TRUE(win->Session->State.Recording);
    EXPECT_EQ(Holders(), QStringList{"sleep|Kestrune|Recording take.wav|block"});

    // Paused automatically, it waits for sound: still held.
    for (int i = 0; i < 3; ++i) {
        win->Session->LevelArrived(0, 0);
        win.tick += 1000;
    }
    ASSERT_EQ(win->lbStatus->Caption(), "Auto Paused ...");
    EXPECT_EQ(Holders().size(), 1);
    // The button turns it into a pause by hand: the machine may sleep.
    win->tbPauseClick();
    EXPECT_TRUE(Holders().isEmpty());
    win->tbPauseClick();
    EXPECT_EQ(Holders().size(), 1) << "resumed";
    win->tbPauseClick();
    EXPECT_TRUE(Holders().isEmpty()) << "paused by hand";
    win->tbPauseClick();
    win->btnStopClick();
    EXPECT_TRUE(Holders().isEmpty()) << "stopped";
}
