// The window hidden to the tray and back, and the tray following what the window does, seen
// through a recording notification area.
#include "fakes/FakeRecordEngine.h"
#include "fakes/FakeTrayArea.h"
#include "fakes/FakeWaveOut.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestSignal.h"
#include "fakes/TestWindow.h"

#include <QApplication>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

// The entries of the menu that a user sees.
Calls VisibleEntries(const framework::TPopupMenu& menu)
{
    Calls names;
    for (const framework::TMenuItem* item : menu.Items())
        if (item->Visible() && !item->IsSeparator())
            names.push_back(item->Name());
    return names;
}

} // namespace

TEST(Tray, HideAndComeBack)
{
    fakes::FakeTrayArea area;
    fakes::TestWindow win;
    fakes::ModalAnswers answers;
    win->show();
    win->move(120, 80);
    const QPoint at = win->pos();

    win->RestorefromTrayIcon1->Click();
    EXPECT_TRUE(area.calls.empty()) << "nothing to remove while shown";
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->pos(), at);

    win->HidetoTrayIcon1->Click();
    EXPECT_EQ(area.calls, Calls{"add"});
    EXPECT_EQ(area.Picture(win.folder.Path()), "ti.ico");
    EXPECT_EQ(area.tip, "Kestrune");
    EXPECT_FALSE(win->isVisible());

    area.Click(TrayMouse::LeftDoubleClick);
    EXPECT_EQ(area.calls, (Calls{"add", "delete"}));
    EXPECT_TRUE(win->isVisible());
    EXPECT_EQ(win->pos(), at);

    win->HidetoTrayIcon1->Click();
    win->RestorefromTrayIcon1->Click();
    EXPECT_EQ(area.calls, (Calls{"add", "delete", "add", "delete"}));
    EXPECT_TRUE(win->isVisible());

    // Minimized before it was hidden: it comes back in its normal state, raised and active.
    win->Minimize1->Click();
    ASSERT_TRUE(win->windowState() & Qt::WindowMinimized);
    win->HidetoTrayIcon1->Click();
    area.Click(TrayMouse::LeftDoubleClick);
    QApplication::processEvents();
    EXPECT_TRUE(win->isVisible());
    EXPECT_FALSE(win->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(win->isActiveWindow());

    // A picture that cannot be shown stops the command first: the window stays.
    area.calls.clear();
    std::filesystem::remove(win.folder.File("ti.ico"));
    win->HidetoTrayIcon1->Click();
    fakes::WriteWholeFile(win.folder.File("ti.ico"), "GIF89a");
    win->HidetoTrayIcon1->Click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[0].text, "Cannot open file " + win.folder.File("ti.ico"));
    EXPECT_EQ(answers.Seen()[1].text, "Icon image is not valid");
    EXPECT_TRUE(win->isVisible());
    EXPECT_TRUE(area.calls.empty());
}

TEST(Tray, WithoutANotificationAreaHidingMinimizes)
{
    fakes::FakeTrayArea area(false);
    fakes::TestWindow win;
    win->show();
    win->HidetoTrayIcon1->Click();
    EXPECT_TRUE(win->isMinimized());
    EXPECT_TRUE(area.calls.empty());
    EXPECT_FALSE(win->TrayIcon1->Active());
}

TEST(Tray, FollowsARecordingAndAPlaybackWhileHidden)
{
    fakes::FakeTrayArea area;
    fakes::FakeRecordEngine engine;
    fakes::FakeWaveOut output;
    fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
    const std::string folder = win.folder.Path();
    win->Session->State.TargetFile = win.folder.File("take.wav");
    win->tbRecordClick();
    win->HidetoTrayIcon1Click();
    EXPECT_EQ(area.Picture(folder), "ti.ico");
    EXPECT_EQ(area.tip, "Kestrune");

    // The tick's tooltip comes at once, its picture with the tick after.
    win.tick += 1000;
    win.Run(200);
    EXPECT_EQ(area.tip, "Recording(00:00:01)");
    EXPECT_EQ(area.Picture(folder), "ti.ico");
    win.Run(200);
    EXPECT_EQ(area.Picture(folder), "ti_rec.ico");

    win->tbPauseClick();
    EXPECT_EQ(area.Picture(folder), "ti_rec_p.ico");
    EXPECT_EQ(area.tip, "Paused(00:00:01)");
    win->btnStopClick();
    EXPECT_EQ(area.Picture(folder), "ti.ico");
    EXPECT_EQ(area.tip, "Kestrune");

    // A playback: pausing it changes the picture at once, the tooltip but not the title.
    fakes::WriteWav(win->Session->State.TargetFile, 22050, 1, std::vector<int16_t>(22050));
    win->tbPlayItClick();
    EXPECT_EQ(area.Picture(folder), "ti_play.ico");
    EXPECT_EQ(area.tip, "Playing");
    area.calls.clear();
    win->tbPlayItClick();
    EXPECT_EQ(area.calls, (Calls{"modify", "delete", "add"})) << "the tooltip, then the picture shown anew";
    EXPECT_EQ(area.Picture(folder), "ti_play_p.ico");
    EXPECT_EQ(area.tip, "Paused");
    EXPECT_EQ(framework::Application().Title(), "Playing");
    EXPECT_FALSE(win->isVisible());
}

TEST(Tray, TheRightButtonOpensTheWindowsMenu)
{
    fakes::FakeTrayArea area;
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
    fakes::ModalAnswers answers;
    win->Session->State.TargetFile = win.folder.File("take.wav");
    win->tbRecordClick();
    win->HidetoTrayIcon1Click();
    win->ApplicationEvents1Idle();

    Calls shown;
    answers.QueueAction([&](const framework::ModalRequest& request) {
        EXPECT_EQ(request.kind, framework::ModalKind::PopupMenu);
        shown = VisibleEntries(*win->PopupMenu1);
        const auto& items = win->PopupMenu1->Items();
        const auto restore = std::find(items.begin(), items.end(), win->RestorefromTrayIcon1);
        return framework::ModalAnswer{static_cast<int>(restore - items.begin()) + 1, {}};
    });
    area.Click(TrayMouse::RightUp);
    EXPECT_EQ(shown, (Calls{"PauseRecording1", "StopRecording1", "Mixerdialog1", "QueueRecording1", "Setting1", "Help1",
                         "About1", "Minimize1", "HidetoTrayIcon1", "RestorefromTrayIcon1", "Exit1"}));
    EXPECT_TRUE(win->isVisible()) << "restored from the tray's menu";
    EXPECT_FALSE(area.shown);
    EXPECT_TRUE(win->Session->State.Recording);
}
