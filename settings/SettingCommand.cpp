// The main window's settings command: the dialog for one use, owned by the window.
#include "app/Kestrune.h"
#include "settings/SettingDialog.h"

void TKestrune::tbSetClick()
{
    TfmSet dialog(this, Settings);
    dialog.ShowModal();
}
