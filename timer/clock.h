// The clock the countdown runs on, in milliseconds.
#pragma once
#include <windows.h>

// Unbiased interrupt time, which stands still while the machine sleeps;
// without it (before Windows 7) the tick count, extended past its wrap, which
// runs on. Neither stands still while Windows stops the program with the
// machine awake (modern standby, a busy machine): the countdown leaves out
// such time itself, from its late ticks and the power messages, on both.
ULONGLONG MonotonicMs();
