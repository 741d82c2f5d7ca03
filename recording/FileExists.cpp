#include "FileExists.h"

#include <QPushButton>

namespace {
QPushButton* DialogButton(QWidget* parent, const char* name, const char* caption, int left, int width)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setGeometry(left, 30, width, 25);
    button->setAutoDefault(false);
    return button;
}
} // namespace

TfmFileExists::TfmFileExists(QWidget* owner) : TForm(owner)
{
    setObjectName("fmFileExists");
    setWindowTitle("File Exists");
    // A dialog border: fixed size, a title bar with a close box, no minimize or maximize.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(471, 63);
    setFont(framework::SkinFont());

    lbFileName = new framework::TLabel(this, "lbFileName");
    lbFileName->SetBounds(7, 8, 457, 14);
    lbFileName->SetColor(palette().color(QPalette::Window));
    lbFileName->SetFontColor(palette().color(QPalette::WindowText));

    btnOverwrite = DialogButton(this, "btnOverwrite", "Overwrite", 7, 75);
    btnContinuedRec = DialogButton(this, "btnContinuedRec", "Continued Record  From End Position", 88, 206);
    btnNewFile = DialogButton(this, "btnNewFile", "Select New File", 300, 90);
    btnCancel = DialogButton(this, "btnCancel", "Cancel", 395, 69);
    connect(btnOverwrite, &QPushButton::clicked, this, [this] { btnOverwriteClick(); });
    connect(btnContinuedRec, &QPushButton::clicked, this, [this] { btnContinuedRecClick(); });
    connect(btnNewFile, &QPushButton::clicked, this, [this] { btnNewFileClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    // Esc cancels; Enter presses the button that has the focus.
    CancelButton = btnCancel;
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void TfmFileExists::btnOverwriteClick()
{
    Choose(fcOverwrite);
}

void TfmFileExists::btnContinuedRecClick()
{
    Choose(fcContinue);
}

void TfmFileExists::btnNewFileClick()
{
    Choose(fcNewFile);
}

void TfmFileExists::btnCancelClick()
{
    Choose(fcCancel);
}

void TfmFileExists::Choose(FileExistsChoice choice)
{
    Choice = choice;
    SetModalResult(choice);
    Close();
}
