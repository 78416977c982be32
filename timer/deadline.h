// Countdown arithmetic on a monotonic millisecond clock. No Windows headers:
// the host build tests it with the sanitizers.
#pragma once
#include <cstdint>

// The deadline that lies `seconds` whole seconds after `nowMs`.
int64_t DeadlineAfter(int64_t nowMs, int32_t seconds);

// Whole seconds left until the deadline, rounded up (so the count shows 1
// until the deadline itself), saturated to the 32-bit range.
int32_t SecondsLeft(int64_t deadlineMs, int64_t nowMs);

// Milliseconds from now until SecondsLeft next drops by one: 1 to 1000.
uint32_t MsUntilNextSecond(int64_t deadlineMs, int64_t nowMs);
