// The main window's queue command: the editor for one use, owned by the window.
#include "app/Kestrune.h"
#include "schedule/QueueDialog.h"

void TKestrune::tbQueueClick()
{
    TfmQueue dialog(this, Queue, *SaveDialog1);
    dialog.ShowModal();
}
