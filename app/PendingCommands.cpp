// Commands whose subsystems are not in the program yet: each is wired to its buttons and menu
// entries already and does nothing until its subsystem fills it in.
#include "Kestrune.h"

void TKestrune::btnMixerClick() {}
void TKestrune::Help1Click() {}
void TKestrune::About1Click() {}
void TKestrune::HidetoTrayIcon1Click() {}
void TKestrune::RestorefromTrayIcon1Click() {}
