// Time the program could not run, on a clock that runs on through it: the
// tick count through a sleep (all that XP and Vista have), either clock
// while Windows stops the program awake. From the countdown's ticks and the
// power messages, with their times, it says how much time to leave out of
// the count. No Windows headers: the host tests run it.
#pragma once
#include <cstdint>

// Zero-filled, it is the state of a countdown that has just started.
class TSleepWatch {
 public:
  int64_t ArmedMs;      // the clock when the tick was last armed
  uint32_t NextTickMs;  // what it was armed with
  bool Suspended;       // a suspend was heard, and no tick or resume since
  int64_t SuspendedMs;  // the clock then

  void Armed(int64_t nowMs, uint32_t delayMs);
  void Clear();  // a start or a pause: a suspend heard before is void
  void Suspend(int64_t nowMs);
  // The time to leave out of the count at a tick or a resume; 0 for none.
  int64_t Tick(int64_t nowMs);
  int64_t Resume(int64_t nowMs);
};
