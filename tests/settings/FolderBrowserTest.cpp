#include "fakes/TempFolder.h"
#include "framework/Interaction.h"
#include "framework/Messages.h"
#include "settings/FolderBrowser.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <gtest/gtest.h>
#include <filesystem>
#include <vector>

using namespace settings;

namespace {

TEST(FolderBrowserShortenPath, KeepsTheEndsOfLongPathsOfMoreThanTwoParts)
{
    const auto shown = [](const std::string& path) { return ShortenPath(path, '/', "...", 35); };
    EXPECT_EQ(shown("C:/Documents and Settings/Owner/My Documents/My Music"), "C:/.../Owner/My Documents/My Music");
    EXPECT_EQ(shown("D:/Recordings/2004/March/Radio shows/Evening"), "D:/.../March/Radio shows/Evening");
    EXPECT_EQ(shown("C:/Program Files"), "C:/Program Files");
    EXPECT_EQ(shown("C:/A very long folder name that goes on and on"), "C:/A very long folder name that goes on and on");
    // Three parts: the filler stands in the middle even when the end alone is too long.
    EXPECT_EQ(shown("/a folder name that is long enough/b"), "/.../b");
    EXPECT_EQ(shown("/x/a last folder name of more than thirty-five"), "/.../a last folder name of more than thirty-five");
}

// A folder tree "a/b" with a file "a/note.txt", and a browser whose every event is recorded.
class FolderBrowser : public testing::Test {
protected:
    FolderBrowser()
    {
        std::filesystem::create_directories(a + "/b");
        fakes::WriteWholeFile(a + "/note.txt", "x");
        browser.BeforeBrowse = [this](QObject*) { events.push_back("before"); };
        browser.AfterBrowse = [this](QObject*) {
            events.push_back(browser.Dialog() ? "after while open" : "after");
        };
        browser.OnCancel = [this](QObject*) { events.push_back("cancel"); };
        browser.OnPathChanged = [this](QObject*, const std::string& path) {
            events.push_back(std::string(browser.Dialog()->btnOK->isEnabled() ? "ok " : "no ") + path);
        };
    }
    ~FolderBrowser() override { framework::SetInteractionHook({}); }

    // Runs Execute with `work` done on the real dialog inside the modal hook.
    bool Execute(const std::function<void(TFolderBrowserDialog&)>& work)
    {
        framework::SetInteractionHook([work](const framework::ModalRequest& request) {
            auto* dialog = qobject_cast<TFolderBrowserDialog*>(request.form);
            EXPECT_EQ(request.kind, framework::ModalKind::FolderDialog);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return framework::ModalAnswer{};
            work(*dialog);
            if (dialog->result() != QDialog::Accepted)
                return framework::ModalAnswer{framework::IDCANCEL, {}};
            return framework::ModalAnswer{framework::IDOK, dialog->SelectedPath()};
        });
        return browser.Execute();
    }

    fakes::TempFolder folder;
    const std::string a = folder.Path() + "a";
    const std::string b = a + "/b";
    TFolderBrowser browser;
    std::vector<std::string> events;
};

TEST_F(FolderBrowser, StartsAtAnExistingReturnPathOnlyCentredWithTheCaptionAsStatus)
{
    browser.SetCaption("Pick the folder");
    for (const std::string& start : {std::string(), folder.Path() + "missing"}) {
        browser.ReturnPath = start;
        Execute([&](TFolderBrowserDialog& dialog) {
            EXPECT_FALSE(dialog.tvFolders->currentIndex().isValid()) << start;
            EXPECT_FALSE(dialog.btnOK->isEnabled()) << start;
            EXPECT_EQ(dialog.lbStatus->text(), "Pick the folder");
            EXPECT_EQ(dialog.lbCaption->text(), "Pick the folder");
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            EXPECT_EQ(dialog.x(), screen.width() / 2 - dialog.width() / 2);
            EXPECT_EQ(dialog.y(), screen.height() / 2 - dialog.height() / 2);
        });
    }
    browser.ReturnPath = b;
    Execute([&](TFolderBrowserDialog& dialog) {
        EXPECT_EQ(dialog.SelectedPath(), b);
        EXPECT_TRUE(dialog.btnOK->isEnabled());
        EXPECT_EQ(dialog.lbStatus->text().toStdString(), ShortenPath(b, '/', "...", 35));
        browser.SetCaption("Another");
        EXPECT_EQ(dialog.lbStatus->text(), "Another");
    });
    browser.SetCaption("Closed");
}

TEST_F(FolderBrowser, EnablesOkForRealFoldersUnlessIsValidPathSaysOtherwise)
{
    browser.Options = bifStatusText; // files are shown, and are no folders
    browser.IsValidPath = [this](QObject*, const std::string& path, bool& valid) {
        if (path == b)
            valid = false;
    };
    Execute([&](TFolderBrowserDialog& dialog) {
        ASSERT_TRUE(dialog.SelectItem(a + "/note.txt"));
        EXPECT_EQ(browser.ReturnPath, "");
        ASSERT_TRUE(dialog.SelectItem(a));
        EXPECT_EQ(browser.ReturnPath, a);
        ASSERT_TRUE(dialog.SelectItem(b));
        dialog.btnCancel->click();
    });
    EXPECT_EQ(events, (std::vector<std::string>{"before", "no ", "ok " + a, "no " + b, "cancel", "after"}));
}

TEST_F(FolderBrowser, OkReturnsTheFolderAndCancelKeepsTheLastOneSelected)
{
    EXPECT_TRUE(Execute([&](TFolderBrowserDialog& dialog) {
        ASSERT_TRUE(dialog.SelectItem(a));
        dialog.btnOK->click();
    }));
    EXPECT_EQ(browser.ReturnPath, a);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "ok " + a, "after"}));

    events.clear();
    EXPECT_FALSE(Execute([&](TFolderBrowserDialog& dialog) {
        EXPECT_EQ(dialog.SelectedPath(), a);
        ASSERT_TRUE(dialog.SelectItem(b));
        dialog.btnCancel->click();
    }));
    EXPECT_EQ(browser.ReturnPath, b);
    // The preselection of a is a change of selection too.
    EXPECT_EQ(events, (std::vector<std::string>{"before", "ok " + a, "ok " + b, "cancel", "after"}));
}

} // namespace
