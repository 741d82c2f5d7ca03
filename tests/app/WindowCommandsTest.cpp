// The mixer, help and about commands, with the shell answered by the test.
#include "app/AboutDialog.h"
#include "fakes/ModalAnswers.h"
#include "fakes/TestWindow.h"
#include "framework/Shell.h"
#include "settings/SettingDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStackedWidget>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// While alive, the shell's requests are kept instead of run.
struct ShellRequests {
    std::vector<framework::ShellRequest> seen;
    bool started = true; // whether the desktop starts what it is asked
    ShellRequests()
    {
        framework::SetShellHook([this](const framework::ShellRequest& request) {
            seen.push_back(request);
            return started;
        });
    }
    ~ShellRequests() { framework::SetShellHook({}); }
};

// PATH for one test.
struct SearchPath {
    std::string saved = qEnvironmentVariable("PATH").toStdString();
    explicit SearchPath(const std::string& path) { qputenv("PATH", QByteArray::fromStdString(path)); }
    ~SearchPath() { qputenv("PATH", QByteArray::fromStdString(saved)); }
};

} // namespace

TEST(WindowCommands, TheMixerIsTheDesktopsInputControlWhenThereIsOneElseOurInputPage)
{
    fakes::TestWindow win;
    ShellRequests shell;
    {
        SearchPath path(win.folder.Path());
        fakes::ModalAnswers answers;
        std::string page;
        answers.QueueAction([&page](const framework::ModalRequest& request) {
            if (auto* settings = qobject_cast<TfmSet*>(request.form))
                page = settings->Notebook2->currentWidget()->objectName().toStdString();
            return framework::ModalAnswer{};
        });
        win->tbMixer->Click();
        EXPECT_TRUE(shell.seen.empty());
        EXPECT_EQ(page, "Input") << "no pavucontrol: the settings open on the Input page";
    }
    const std::string mixer = win.folder.File("pavucontrol");
    fakes::WriteWholeFile(mixer, "#!/bin/sh\n");
    std::filesystem::permissions(mixer, std::filesystem::perms::owner_all);
    SearchPath path("/nonexistent:" + win.folder.Path());
    win->Mixerdialog1->Click();
    ASSERT_EQ(shell.seen.size(), 1u);
    EXPECT_EQ(shell.seen[0].program, mixer);
    EXPECT_EQ(shell.seen[0].args, std::vector<std::string>{"--tab=4"});
}

TEST(WindowCommands, HelpAndTheAboutBox)
{
    fakes::TestWindow win;
    fakes::ModalAnswers answers;
    ShellRequests shell;
    const std::string help = win.folder.File("help.html");

    win->Help1->Click();
    ASSERT_EQ(shell.seen.size(), 1u);
    EXPECT_EQ(shell.seen[0].document, help);
    EXPECT_TRUE(shell.seen[0].program.empty());
    EXPECT_TRUE(answers.Seen().empty());
    // No viewer: a box gives the page's path rather than nothing at all.
    shell.started = false;
    win->Help1->Click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].text, "No program of this desktop opens web pages. The help is " + help + ".");

    win->show();
    answers.QueueAction([&](const framework::ModalRequest& request) {
        auto* about = qobject_cast<TfmAbout*>(request.form);
        EXPECT_NE(about, nullptr);
        if (!about)
            return framework::ModalAnswer{};
        EXPECT_EQ(about->windowTitle(), "About");
        EXPECT_EQ(about->size(), QSize(289, 125));
        EXPECT_EQ(about->geometry().center(), win->geometry().center());
        EXPECT_EQ(about->lbName->geometry(), QRect(8, 2, 273, 21));
        EXPECT_EQ(about->lbName->font().pixelSize(), 16);
        EXPECT_EQ(about->lbVersion->text(), "Version " KESTRUNE_VERSION);
        EXPECT_EQ(about->lbLink->geometry(), QRect(8, 56, 225, 13));
        EXPECT_EQ(about->imLogo->geometry(), QRect(244, 8, 32, 32));
        EXPECT_EQ(about->btnOK->geometry(), QRect(224, 101, 60, 20));
        EXPECT_TRUE(about->btnOK->isDefault());

        // The link opens the help page.
        const QPointF inside(10, 6);
        QMouseEvent press(QEvent::MouseButtonPress, inside, about->lbLink->mapToGlobal(inside), Qt::LeftButton,
            Qt::LeftButton, {});
        QMouseEvent release(QEvent::MouseButtonRelease, inside, about->lbLink->mapToGlobal(inside), Qt::LeftButton,
            Qt::NoButton, {});
        QApplication::sendEvent(about->lbLink, &press);
        QApplication::sendEvent(about->lbLink, &release);
        // Esc is OK's too.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, {});
        QApplication::sendEvent(about, &escape);
        EXPECT_EQ(about->ModalResult(), 1);
        return framework::ModalAnswer{about->ModalResult(), {}};
    });
    shell.started = true;
    win->About1->Click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].kind, framework::ModalKind::ShowModal);
    ASSERT_EQ(shell.seen.size(), 3u);
    EXPECT_EQ(shell.seen[2].document, help);
}

TEST(WindowCommands, TheRightButtonOpensTheMenuAnywhereOnTheWindow)
{
    fakes::TestWindow win;
    fakes::ModalAnswers answers;
    const std::vector<QWidget*> places{win->imMain, win->lbStatus, win->tbRec, win->tbSet, win->imleft, win->n1,
        win->lbMaxL, win->lbFileName};
    for (QWidget* place : places) {
        const QPointF at(place->width() / 2.0, place->height() / 2.0);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, place->mapToGlobal(at), Qt::RightButton,
                type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton, {});
            QApplication::sendEvent(place, &event);
        }
    }
    ASSERT_EQ(answers.Seen().size(), places.size());
    for (const framework::ModalRequest& request : answers.Seen()) {
        EXPECT_EQ(request.kind, framework::ModalKind::PopupMenu);
        EXPECT_EQ(request.text, "PopupMenu1");
    }
    EXPECT_TRUE(win->Session->State.TargetFile.empty()) << "no button ran its command";
}
