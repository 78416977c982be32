// The clock the countdown runs on, in milliseconds.
#pragma once
#include <windows.h>

// Unbiased interrupt time, which stands still while the machine sleeps: after
// a sleep the countdown goes on where it was instead of ending at wake.
// Without it (before Windows 7) the tick count, extended past its wrap; there
// a sleep counts as time passed.
ULONGLONG MonotonicMs();

// Widens a 32-bit millisecond count that wraps every 2^32 ms into one that
// does not, as long as it is read at least once per wrap.
class TickExtender {
 public:
  ULONGLONG operator()(DWORD ticks);

 private:
  DWORD last_ = 0;
  ULONGLONG wraps_ = 0;
};
