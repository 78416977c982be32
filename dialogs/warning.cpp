// The warning dialog (103).
#include "timer/timer.h"

// Stand-in until the dialog is built.
void TTimer::ShowWarning(bool) {}
