#pragma once
// TfmAbout, the about box: the program's name, its version, a notice, a link to the help page
// and the logo, closed by OK (also Enter and Esc). Lives for one opening, on the window thread.
#include "framework/Form.h"

#include <QLabel>
#include <QPushButton>

class TfmAbout : public framework::TForm {
    Q_OBJECT
public:
    // Centred on the owner.
    explicit TfmAbout(QWidget* owner);

    QWidget* lbName = nullptr;     // the name, raised
    QLabel* lbVersion = nullptr;
    QLabel* lbNotice = nullptr;
    QLabel* lbLink = nullptr;      // opens the help page when clicked
    QLabel* imLogo = nullptr;
    QPushButton* btnOK = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
