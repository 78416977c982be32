// The countdown display window (102).
#include "timer/timer.h"

// Stand-in until the window is built: only records the setting.
void TTimer::ShowDisplay(bool show) { DisplayVisible = show; }
