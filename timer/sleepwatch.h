// Sleep on a clock that runs on through it: the tick count, all that Windows
// XP and Vista have. From the countdown's ticks and the power messages, with
// their times, it says how much time to leave out of the count and when to
// count nothing for a while. No Windows headers: the host tests run it.
#pragma once
#include <cstdint>

// What the countdown does after a tick or a power message.
struct TSleepStep {
  enum : uint8_t {
    Keep,   // nothing: the tick stays armed as it is
    Wait,   // count nothing; arm the tick for `WaitMs`
    Count,  // move the deadline on by `LeaveOutMs` and count on from it
  } What;
  int64_t LeaveOutMs;
  uint32_t WaitMs;
};

// Zero-filled, it is the state of a countdown that has just started.
class TSleepWatch {
 public:
  int64_t ArmedMs;        // the clock when the tick was last armed
  uint32_t NextTickMs;    // what it was armed with
  bool Asleep;            // a suspend was heard, no wake since
  int64_t AsleepSinceMs;  // the clock at the start of that sleep
  int64_t HeldMs;         // gaps since the last counted tick, sleep or stall: not known yet; 0: none
  int64_t HoldUntilMs;    // with HeldMs: no resume by then makes them a stall
  int64_t ResumedMs;      // a resume that found nothing pending; 0: none since the last tick

  void Armed(int64_t nowMs, uint32_t delayMs);
  void Clear();  // a start or a pause: whatever a sleep left pending is void
  TSleepStep Tick(int64_t nowMs);
  TSleepStep Suspend(int64_t nowMs);
  TSleepStep Resume(int64_t nowMs);

 private:
  int64_t GapMs(int64_t nowMs) const;
  TSleepStep Hold(int64_t nowMs, int64_t gapMs);
  TSleepStep Wake(int64_t sleptMs);
};
