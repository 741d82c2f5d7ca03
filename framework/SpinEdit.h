#pragma once
// A number edit with up and down arrows. Whatever is typed is read as a number held within
// MinValue..MaxValue; text that is not a number reads as MinValue. Leaving the edit shows the
// value that was read.
#include <QSpinBox>

#include <string>

namespace framework {

class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(QWidget* parent, const std::string& name, int minValue, int maxValue);

    int Value() const { return value(); }
    void SetValue(int value) { setValue(value); }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

} // namespace framework
