// The clock the countdown runs on, in milliseconds.
#pragma once
#include <windows.h>

// Unbiased interrupt time, which stands still while the machine sleeps: after
// a sleep the countdown goes on where it was instead of ending at wake.
// Without it (before Windows 7) the tick count, extended past its wrap, which
// runs on in sleep: there the countdown leaves sleep out by itself, from its
// late ticks and the power messages.
ULONGLONG MonotonicMs();

// True when the clock above is the tick count.
bool ClockCountsSleep();
