#pragma once
// The folder picker of the settings dialog: a non-visual component whose Execute shows a
// folder tree with a status line and answers whether the user confirmed a folder; the
// chosen folder is then in ReturnPath.
#include "framework/Component.h"

#include <QDialog>
#include <QModelIndex>
#include <QString>
#include <functional>
#include <string>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace settings {

enum TBeepType { bNone, bDefault, bAsterix, bExclamation, bQuestion, bCriticalStop };

// A non-visual dialog component; Execute plays Sound and answers false.
class TDialogComponent : public framework::TComponent {
    Q_OBJECT
public:
    explicit TDialogComponent(QObject* owner = nullptr, const std::string& name = {});

    TBeepType Sound = bNone;

    virtual bool Execute();
};

// Each flag carries the value of the shell flag it stands for, so a set is their sum. Two act
// here: bifFileSystemDirsOnly keeps files out of the tree, bifStatusText shows the status
// line; the others are kept as values only.
enum TBrowseInfoFlags : unsigned {
    bifFileSystemDirsOnly = 0x1,
    bifDontGoBelowDomain = 0x2,
    bifStatusText = 0x4,
    bifFileSystemAncestors = 0x8,
    bifBrowseForComputer = 0x1000,
    bifBrowseForPrinter = 0x2000,
};
using TBrowseInfoFlagSet = unsigned;

enum TBrowseRoots {
    csidlDesktop,
    csidlDesktopExpanded,
    csidlPrograms,
    csidlControlPanel,
    csidlPrinters,
    csidlPersonal,
    csidlFavorites,
    csidlStartup,
    csidlRecent,
    csidlSendto,
    csidlRecycleBin,
    csidlStartMenu,
    csidlDesktopDirectory,
    csidlMyComputer,
    csidlNetwork,
    csidlNetworkNeighborhood,
    csidlFonts,
    csidlTemplates,
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TCheckPath = std::function<void(QObject* Sender, const std::string& NewPath, bool& ValidPath)>;
using TPathChange = std::function<void(QObject* Sender, const std::string& NewPath)>;

// The folder under which the tree of `root` starts here; roots with no folder of their own
// (control panel, printers, recycle bin, network, ...) start at the file system root.
std::string BrowseRootFolder(TBrowseRoots root);

// The path as shown in the status line: when longer than limit and of more than two parts
// (split at separator, empty parts count), the second part becomes filler, then the third
// parts are dropped while the text is too long and more than three parts remain.
std::string ShortenPath(const std::string& path, char separator, const std::string& filler, size_t limit);

class TFolderBrowser;

// The dialog that Execute shows: the caption, the folder tree, the status line, OK, Cancel.
class TFolderBrowserDialog : public QDialog {
    Q_OBJECT
public:
    TFolderBrowserDialog(TFolderBrowser& browser, QWidget* owner);

    // Makes the item of `path` (a folder, or a file when files are shown) the current one;
    // false when the tree has no such item.
    bool SelectItem(const std::string& path);
    // The current item's folder path; empty when it is no folder or nothing is selected.
    std::string SelectedPath() const;
    void SetStatusText(const std::string& text);

    QLabel* lbCaption = nullptr;
    QTreeView* tvFolders = nullptr;
    QLabel* lbStatus = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void SelectionChanged(const QModelIndex& current);

    TFolderBrowser& browser_;
    QFileSystemModel* model_ = nullptr;
    QString revealWhenLoaded_;
};

class TFolderBrowser : public TDialogComponent {
    Q_OBJECT
public:
    explicit TFolderBrowser(QObject* owner = nullptr, const std::string& name = {});

    // Before Execute: the folder to select first, if it exists. After a confirmed Execute:
    // the chosen folder. Also written at every change of selection while the dialog is open.
    std::string ReturnPath;
    TBrowseInfoFlagSet Options = bifFileSystemDirsOnly | bifStatusText;
    bool ShowPath = true;
    TBrowseRoots BrowseRoot = csidlDesktopExpanded;

    TNotifyEvent BeforeBrowse;
    TNotifyEvent AfterBrowse;
    TCheckPath IsValidPath;
    TPathChange OnPathChanged;
    TNotifyEvent OnCancel;

    // Shown above the tree and as the first status text; while the dialog is open, setting
    // it replaces the status text at once.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Shows the dialog modally (through the interaction hook, kind FolderDialog, with the
    // dialog as the request's form): true when the user confirmed a folder.
    bool Execute() override;

    // The dialog while it is open, else null.
    TFolderBrowserDialog* Dialog() const { return dialog_; }

private:
    friend class TFolderBrowserDialog;
    void Initialize(TFolderBrowserDialog& dialog);
    void SelectionChanged(const std::string& path);

    std::string caption_;
    TFolderBrowserDialog* dialog_ = nullptr;
    bool open_ = false;
};

} // namespace settings
