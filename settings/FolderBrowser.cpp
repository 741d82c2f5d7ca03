#include "FolderBrowser.h"

#include "framework/Application.h"
#include "framework/Interaction.h"
#include "framework/Messages.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

#include <vector>

namespace settings {

TDialogComponent::TDialogComponent(QObject* owner, const std::string& name) : framework::TComponent(owner, name) {}

bool TDialogComponent::Execute()
{
    // The desktop has one beep; every type but bNone sounds it.
    if (Sound != bNone)
        framework::Application().Beep();
    return false;
}

std::string ShortenPath(const std::string& path, char separator, const std::string& filler, size_t limit)
{
    if (path.size() <= limit)
        return path;
    std::vector<std::string> parts;
    size_t at = 0;
    for (;;) {
        const size_t next = path.find(separator, at);
        parts.push_back(path.substr(at, next == std::string::npos ? std::string::npos : next - at));
        if (next == std::string::npos)
            break;
        at = next + 1;
    }
    if (parts.size() <= 2)
        return path;
    const auto join = [&] {
        std::string text = parts[0];
        for (size_t i = 1; i < parts.size(); ++i)
            text += separator + parts[i];
        return text;
    };
    parts[1] = filler;
    std::string shortened = join();
    while (shortened.size() > limit && parts.size() > 3) {
        parts.erase(parts.begin() + 2);
        shortened = join();
    }
    return shortened;
}

std::string BrowseRootFolder(TBrowseRoots root)
{
    const auto standard = [](QStandardPaths::StandardLocation location, const std::string& otherwise) {
        const QString folder = QStandardPaths::writableLocation(location);
        return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder.toStdString() : otherwise;
    };
    std::string home = platform::HomeFolder();
    if (home.size() > 1 && home.back() == platform::PathSeparator)
        home.pop_back();
    const std::string fileSystemRoot(1, platform::PathSeparator);
    switch (root) {
    case csidlDesktop:
    case csidlDesktopDirectory:
        return standard(QStandardPaths::DesktopLocation, home);
    case csidlPersonal:
        return standard(QStandardPaths::DocumentsLocation, home);
    case csidlPrograms:
    case csidlStartMenu:
        return standard(QStandardPaths::ApplicationsLocation, fileSystemRoot);
    case csidlFonts:
        return standard(QStandardPaths::FontsLocation, fileSystemRoot);
    case csidlDesktopExpanded:
    case csidlMyComputer:
        return fileSystemRoot;
    default:
        // Control panel, printers, recycle bin, network, favorites, start-up, recent, send-to
        // and templates have no folder of their own here: the whole file system stands in.
        return fileSystemRoot;
    }
}

TFolderBrowserDialog::TFolderBrowserDialog(TFolderBrowser& browser, QWidget* owner)
    : QDialog(owner), browser_(browser)
{
    setWindowTitle(QStringLiteral("Browse for Folder"));
    lbCaption = new QLabel(this);
    lbCaption->setWordWrap(true);
    tvFolders = new QTreeView(this);
    lbStatus = new QLabel(this);
    lbStatus->setTextInteractionFlags(Qt::NoTextInteraction);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnOK->setDefault(true);
    btnOK->setEnabled(false);

    model_ = new QFileSystemModel(this);
    const bool dirsOnly = (browser.Options & bifFileSystemDirsOnly) != 0;
    model_->setFilter(dirsOnly ? QDir::AllDirs | QDir::NoDotAndDotDot
                               : QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    model_->setResolveSymlinks(false);
    const std::string root = BrowseRootFolder(browser.BrowseRoot);
    model_->setRootPath(QString::fromStdString(root));
    tvFolders->setModel(model_);
    // The file system root is shown as the tree's one top item; any other root's folders
    // are the top items themselves.
    if (root != std::string(1, platform::PathSeparator))
        tvFolders->setRootIndex(model_->index(QString::fromStdString(root)));
    for (int column = 1; column < model_->columnCount(); ++column)
        tvFolders->hideColumn(column);
    tvFolders->setHeaderHidden(true);
    tvFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    // The rows around a chosen item arrive, and are sorted, while the folders on its path are
    // read; it is brought into view again each time, until another item is chosen.
    const auto reveal = [this] {
        const QModelIndex current = tvFolders->currentIndex();
        if (!revealWhenLoaded_.isEmpty() && model_->filePath(current) == revealWhenLoaded_)
            tvFolders->scrollTo(current, QAbstractItemView::PositionAtCenter);
    };
    connect(model_, &QFileSystemModel::directoryLoaded, this, reveal);
    connect(model_, &QAbstractItemModel::layoutChanged, this, reveal);
    connect(tvFolders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { SelectionChanged(current); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbCaption);
    layout->addWidget(tvFolders, 1);
    layout->addWidget(lbStatus);
    layout->addLayout(buttons);
    lbStatus->setVisible((browser.Options & bifStatusText) != 0);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(340, 400);
}

bool TFolderBrowserDialog::SelectItem(const std::string& path)
{
    const QModelIndex index = model_->index(QString::fromStdString(path));
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        tvFolders->expand(up);
    tvFolders->setCurrentIndex(index);
    tvFolders->scrollTo(index, QAbstractItemView::PositionAtCenter);
    revealWhenLoaded_ = model_->filePath(index);
    return true;
}

std::string TFolderBrowserDialog::SelectedPath() const
{
    const QModelIndex current = tvFolders->currentIndex();
    if (!current.isValid() || !model_->isDir(current))
        return {};
    return QDir::toNativeSeparators(model_->filePath(current)).toStdString();
}

void TFolderBrowserDialog::SetStatusText(const std::string& text)
{
    lbStatus->setText(QString::fromStdString(text));
}

void TFolderBrowserDialog::SelectionChanged(const QModelIndex&)
{
    browser_.SelectionChanged(SelectedPath());
}

TFolderBrowser::TFolderBrowser(QObject* owner, const std::string& name) : TDialogComponent(owner, name) {}

void TFolderBrowser::SetCaption(const std::string& caption)
{
    caption_ = caption;
    if (open_ && dialog_)
        dialog_->SetStatusText(caption_);
}

void TFolderBrowser::Initialize(TFolderBrowserDialog& dialog)
{
    open_ = true;
    dialog_ = &dialog;
    dialog.lbCaption->setText(QString::fromStdString(caption_));
    dialog.lbCaption->setVisible(!caption_.empty());
    dialog.SetStatusText(caption_);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        dialog.move(area.left() + area.width() / 2 - dialog.width() / 2,
                    area.top() + area.height() / 2 - dialog.height() / 2);
    }
    if (!ReturnPath.empty() && QFileInfo(QString::fromStdString(ReturnPath)).isDir())
        dialog.SelectItem(ReturnPath);
}

void TFolderBrowser::SelectionChanged(const std::string& path)
{
    ReturnPath = path;
    if (ShowPath && dialog_)
        dialog_->SetStatusText(ShortenPath(path, platform::PathSeparator, "...", 35));
    bool valid = !path.empty();
    if (IsValidPath)
        IsValidPath(this, path, valid);
    if (dialog_)
        dialog_->btnOK->setEnabled(valid);
    if (OnPathChanged)
        OnPathChanged(this, path);
}

bool TFolderBrowser::Execute()
{
    TDialogComponent::Execute();
    if (BeforeBrowse)
        BeforeBrowse(this);
    // Cleared and announced however the dialog ends, an error included.
    struct Finish {
        TFolderBrowser& browser;
        ~Finish()
        {
            browser.open_ = false;
            browser.dialog_ = nullptr;
            if (browser.AfterBrowse)
                browser.AfterBrowse(&browser);
        }
    } finish{*this};

    auto* ownerControl = qobject_cast<QWidget*>(parent());
    QWidget* ownerWindow = ownerControl ? ownerControl->window() : framework::Application().MainForm();
    TFolderBrowserDialog dialog(*this, ownerWindow);
    Initialize(dialog);

    framework::ModalRequest request;
    request.kind = framework::ModalKind::FolderDialog;
    request.text = caption_;
    request.form = &dialog;
    const framework::ModalAnswer answer = framework::Interact(request, [&dialog] {
        if (dialog.exec() != QDialog::Accepted)
            return framework::ModalAnswer{framework::IDCANCEL, {}};
        return framework::ModalAnswer{framework::IDOK, dialog.SelectedPath()};
    });
    if (answer.result == framework::IDOK) {
        ReturnPath = answer.path;
        return true;
    }
    if (OnCancel)
        OnCancel(this);
    return false;
}

} // namespace settings
