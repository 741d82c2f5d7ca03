#pragma once
// The question asked when the target file exists: overwrite it, continue it, choose another
// file or cancel. Lives for one question.
#include "framework/Form.h"
#include "framework/Label.h"

class QPushButton;

// What the user chose; None when the dialog was closed by its title bar.
enum FileExistsChoice : int { fcNone = 0, fcCancel = 2, fcContinue = 4, fcOverwrite = 6, fcNewFile = 7 };

class TfmFileExists : public framework::TForm {
    Q_OBJECT
public:
    // Centred on the owner when shown.
    explicit TfmFileExists(QWidget* owner);

    framework::TLabel* lbFileName = nullptr;
    QPushButton* btnOverwrite = nullptr;
    QPushButton* btnContinuedRec = nullptr;
    QPushButton* btnNewFile = nullptr;
    QPushButton* btnCancel = nullptr;

    FileExistsChoice Choice = fcNone;

    void btnOverwriteClick();
    void btnContinuedRecClick();
    void btnNewFileClick();
    void btnCancelClick();

private:
    void Choose(FileExistsChoice choice);
};
