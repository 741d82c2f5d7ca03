// Which command each of the window's recording buttons and pop-up entries runs, seen through
// the fake engine and the interaction hook.
#include "fakes/FakeRecordEngine.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"

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
