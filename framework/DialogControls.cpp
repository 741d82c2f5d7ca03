#include "DialogControls.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace framework {

int PlainText(QWidget* parent, const char* caption, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->move(left, top);
    label->adjustSize();
    return left + label->width();
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption, int left, int top, int width)
{
    auto* button = new QRadioButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    button->setGeometry(left, top, width, 17);
    return button;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, int left, int top, int width)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(name);
    box->setGeometry(left, top, width, 17);
    return box;
}

TSpinEdit* Spin(QWidget* parent, const char* name, int minValue, int maxValue, int left, int top)
{
    auto* edit = new TSpinEdit(parent, name, minValue, maxValue);
    edit->setGeometry(left, top, 52, 21);
    return edit;
}

void SetChecked(QRadioButton* button, bool checked)
{
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace framework
