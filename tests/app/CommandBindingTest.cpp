// Which command each of the window's recording buttons and pop-up entries runs, seen through
// the fake engine and the interaction hook.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;

struct Binding {
    const char* element;
    bool recordingFirst;                       // a recording runs before the click
    std::function<void(TKestrune&)> click;     // the button's or the entry's click
    Calls calls;                               // what the engine then saw
    bool savedDialog = false;                  // the file selection opened
};

} // namespace

TEST(CommandBinding, EachButtonAndEntryRunsItsCommand)
{
    const std::vector<Binding> table = {
        {"tbOpen", false, [](TKestrune& w) { w.tbOpen->Click(); }, {}, true},
        {"SelectFile1", false, [](TKestrune& w) { w.SelectFile1->Click(); }, {}, true},
        {"tbRec", false, [](TKestrune& w) { w.tbRec->Click(); }, {"start"}},
        {"StartRecording1", false, [](TKestrune& w) { w.StartRecording1->Click(); }, {"start"}},
        {"tbrecandpause", false, [](TKestrune& w) { w.tbrecandpause->Click(); }, {"start", "pause"}},
        {"Startandpauserecording1", false, [](TKestrune& w) { w.Startandpauserecording1->Click(); },
            {"start", "pause"}},
        {"tbPause", true, [](TKestrune& w) { w.tbPause->Click(); }, {"start", "pause"}},
        {"PauseRecording1", true, [](TKestrune& w) { w.PauseRecording1->Click(); }, {"start", "pause"}},
        {"tbStop", true, [](TKestrune& w) { w.tbStop->Click(); }, {"start", "stop"}},
        {"StopRecording1", true, [](TKestrune& w) { w.StopRecording1->Click(); }, {"start", "stop"}},
    };
    for (const Binding& b : table) {
        SCOPED_TRACE(b.element);
        fakes::FakeRecordEngine engine;
        fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
        fakes::ModalAnswers answers;
        win->Session->State.TargetFile = win.folder.File("take.wav");
        if (b.recordingFirst)
            win->tbRecordClick();
        b.click(*win);
        EXPECT_EQ(engine.calls, b.calls);
        EXPECT_EQ(answers.Seen().size(), b.savedDialog ? 1u : 0u);
        if (b.savedDialog && !answers.Seen().empty())
            EXPECT_EQ(answers.Seen()[0].kind, framework::ModalKind::SaveDialog);
    }

    // The window commands of the menu: minimize, then exit closes the window.
    fakes::TestWindow win;
    win->show();
    win->Minimize1->Click();
    EXPECT_TRUE(win->isMinimized());
    win->Exit1->Click();
    EXPECT_FALSE(win->isVisible());
}

// The mouse on a button as the desktop delivers it: a double-click is a press, a release, a
// double-click event and a release.
namespace {
void MouseOn(QWidget* button, QEvent::Type type)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(button, &event);
}
} // namespace

TEST(CommandBinding, ADoubleClickOnAButtonThatGivesWayReachesOnlyIt)
{
    fakes::FakeRecordEngine engine;
    fakes::TestWindow win("[WMA]\nUse=0\n[set]\nRecordType=0\n");
    win->Session->State.TargetFile = win.folder.File("take.wav");
    win->tbRecordClick();
    win->ApplicationEvents1Idle();
    ASSERT_TRUE(win->tbStop->Visible());
    ASSERT_EQ(win->tbStop->geometry(), win->tbrecandpause->geometry()) << "they share a place";

    MouseOn(win->tbStop, QEvent::MouseButtonPress);
    MouseOn(win->tbStop, QEvent::MouseButtonRelease);
    win->ApplicationEvents1Idle(); // Stop gives way to Record and Pause
    ASSERT_TRUE(win->tbrecandpause->Visible());
    win.tick += 100;
    MouseOn(win->tbrecandpause, QEvent::MouseButtonDblClick);
    MouseOn(win->tbrecandpause, QEvent::MouseButtonRelease);
    EXPECT_FALSE(win->Session->State.Recording) << "the double-click's second press is not a new command";
    EXPECT_EQ(engine.starts.size(), 1u);

    // Later, a press there is a click of its own.
    win.tick += 1000;
    MouseOn(win->tbrecandpause, QEvent::MouseButtonPress);
    MouseOn(win->tbrecandpause, QEvent::MouseButtonRelease);
    EXPECT_EQ(engine.starts.size(), 2u);
    EXPECT_TRUE(win->Session->State.Paused);
    win->btnStopClick();
}
