// The clock the countdown runs on, in milliseconds.
#pragma once
#include <windows.h>

// Unbiased interrupt time, which stands still while the machine sleeps: after
// a sleep the countdown goes on where it was instead of ending at wake.
// Without it (before Windows 7) the tick count, extended past its wrap; there
// a sleep counts as time passed.
ULONGLONG MonotonicMs();
