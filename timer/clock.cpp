#include "timer/clock.h"

#include "timer/sysapi.h"

namespace {

constexpr ULONGLONG UNITS_PER_MS = 10000;  // interrupt time counts 100 ns

TickExtender ExtendedTicks;

}  // namespace

ULONGLONG TickExtender::operator()(DWORD ticks) {
  if (ticks < last_) ++wraps_;
  last_ = ticks;
  return (wraps_ << 32) + ticks;
}

ULONGLONG MonotonicMs() {
  if (Sys.QueryUnbiasedInterruptTime != nullptr) {
    ULONGLONG units = 0;
    Sys.QueryUnbiasedInterruptTime(&units);
    return units / UNITS_PER_MS;
  }
  return ExtendedTicks(Sys.GetTickCount());
}
