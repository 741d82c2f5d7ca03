#pragma once
// The standard controls of the program's dialogs, each created at its place in the dialog's
// pixel layout (the dialogs have fixed sizes and no layouts).
#include "SpinEdit.h"

class QCheckBox;
class QRadioButton;
class QWidget;

namespace framework {

// A plain text at (left, top), as wide as its text; answers its right edge.
int PlainText(QWidget* parent, const char* caption, int left, int top);

QRadioButton* Radio(QWidget* parent, const char* name, const char* caption, int left, int top, int width);

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, int left, int top, int width);

// A number edit 52 x 21 holding minValue..maxValue.
TSpinEdit* Spin(QWidget* parent, const char* name, int minValue, int maxValue, int left, int top);

// Checks or clears a radio button as a program may: clearing the checked one of its group
// leaves the group with none checked, which a user's click cannot do.
void SetChecked(QRadioButton* button, bool checked);

} // namespace framework
