#include "timer/clock.h"

#include "timer/sysapi.h"

namespace {

constexpr ULONGLONG UNITS_PER_MS = 10000;  // interrupt time counts 100 ns

// The tick count wraps every 2^32 ms; read at least once per wrap (the
// countdown reads it every second), each wrap is counted.
DWORD LastTicks = 0;
ULONGLONG Wraps = 0;

ULONGLONG ExtendedTicks(DWORD ticks) {
  if (ticks < LastTicks) ++Wraps;
  LastTicks = ticks;
  return (Wraps << 32) + ticks;
}

}  // namespace

ULONGLONG MonotonicMs() {
  if (Sys.QueryUnbiasedInterruptTime != nullptr) {
    ULONGLONG units = 0;
    Sys.QueryUnbiasedInterruptTime(&units);
    return units / UNITS_PER_MS;
  }
  return ExtendedTicks(Sys.GetTickCount());
}
