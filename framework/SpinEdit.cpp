#include "SpinEdit.h"

#include <algorithm>

namespace framework {

TSpinEdit::TSpinEdit(QWidget* parent, const std::string& name, int minValue, int maxValue) : QSpinBox(parent)
{
    setObjectName(QString::fromStdString(name));
    setRange(minValue, maxValue);
    // Leaving the edit with junk shows the bound it was read as, not the last good number.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State TSpinEdit::validate(QString&, int&) const
{
    // Any text is taken and read as a number when it is used, so nothing typed is refused.
    return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return minimum();
    return std::clamp(value, minimum(), maximum());
}

} // namespace framework
