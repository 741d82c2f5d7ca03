// The schedule runner: once a second, a queue entry that is due starts a recording.
#include "app/Kestrune.h"

void TKestrune::tmQueueTimer() {}
