#include "fakes/ModalAnswers.h"
#include "framework/Application.h"
#include "framework/Control.h"
#include "framework/Form.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace framework;

TEST(Application, TitleFollowsToTheMainForm)
{
    TForm form;
    Application().SetTitle("Kestrune");
    Application().SetMainForm(&form);
    EXPECT_EQ(form.windowTitle(), "Kestrune");
    Application().SetTitle("00:00:05 Recording");
    EXPECT_EQ(form.windowTitle(), "00:00:05 Recording");
    Application().SetMainForm(nullptr);
}

TEST(Application, MessageBoxAndErrorBoxAskTheHook)
{
    fakes::ModalAnswers answers;
    answers.Queue({IDNO, {}});
    Application().SetTitle("Kestrune");
    EXPECT_EQ(Application().MessageBox("You are recording, Stop recording and Quit ?", "Confirm",
                  MB_YESNO | MB_ICONQUESTION), IDNO);
    Application().ShowException("Unable to create directory");
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[0].caption, "Confirm");
    EXPECT_EQ(answers.Seen()[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(answers.Seen()[1].kind, ModalKind::ErrorBox);
    EXPECT_EQ(answers.Seen()[1].caption, "Kestrune");
    EXPECT_EQ(answers.Seen()[1].text, "Unable to create directory");
}

TEST(Application, IdleRunsWhenTheQueueHasBecomeEmpty)
{
    Application().InstallIdleHook();
    TForm form;
    int handled = 0;
    int idleAfterAll = 0;
    form.OnMessage(WM_USER + 5, [&](TMessage&) { ++handled; });
    Application().OnIdle = [&] {
        if (handled == 3)
            ++idleAfterAll;
    };
    for (int i = 0; i < 3; ++i)
        form.PostMessage(WM_USER + 5, 0, 0);
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    Application().OnIdle = nullptr;
    EXPECT_EQ(handled, 3);
    EXPECT_GE(idleAfterAll, 1);
}

TEST(Control, VisibleIsTheControlsOwnFlag)
{
    TForm form; // never shown
    TControl button(&form, "tbPause");
    EXPECT_TRUE(button.Visible());
    button.SetVisible(false);
    EXPECT_FALSE(button.Visible());
    button.SetVisible(true);
    EXPECT_TRUE(button.Visible()) << "even while the form itself is hidden";
    EXPECT_EQ(button.Name(), "tbPause");
}
