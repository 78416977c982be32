#include "timer/deadline.h"

#include <limits>

int64_t DeadlineAfter(int64_t nowMs, int32_t seconds) { return nowMs + static_cast<int64_t>(seconds) * 1000; }

namespace {

// Division rounding toward plus infinity; C++ truncates toward zero.
int64_t CeilSeconds(int64_t ms) { return ms >= 0 ? (ms + 999) / 1000 : ms / 1000; }

}  // namespace

int32_t SecondsLeft(int64_t deadlineMs, int64_t nowMs) {
  int64_t s = CeilSeconds(deadlineMs - nowMs);
  if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(s);
}

uint32_t MsUntilNextSecond(int64_t deadlineMs, int64_t nowMs) {
  int64_t left = deadlineMs - nowMs;
  int64_t next = (CeilSeconds(left) - 1) * 1000;
  return static_cast<uint32_t>(left - next);
}
