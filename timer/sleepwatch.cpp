#include "timer/sleepwatch.h"

namespace {

// A tick this far overdue means the program could not run: the machine
// slept, announced or not, Windows stopped the program (modern standby), or
// the machine was too busy to answer. Windows itself calls a window that has
// not answered for 5 s not responding. A shorter gap cannot be told from a
// stall, and counts.
constexpr int64_t OVERDUE_MS = 5000;

}  // namespace

void TSleepWatch::Armed(int64_t nowMs, uint32_t delayMs) {
  ArmedMs = nowMs;
  NextTickMs = delayMs;
}

void TSleepWatch::Clear() { Suspended = false; }

// Two in a row: the sleep began at the first.
void TSleepWatch::Suspend(int64_t nowMs) {
  if (Suspended) return;
  Suspended = true;
  SuspendedMs = nowMs;
}

// Everything since the tick was armed, or since a suspend, whichever began
// first: late by the part of a second before the sleep, never early.
int64_t TSleepWatch::Tick(int64_t nowMs) {
  int64_t leaveOut = 0;
  if (nowMs - ArmedMs - NextTickMs > OVERDUE_MS) leaveOut = nowMs - ArmedMs;
  if (Suspended && nowMs - SuspendedMs > leaveOut) leaveOut = nowMs - SuspendedMs;
  Suspended = false;
  return leaveOut;
}

// A resume says no more than a tick would: the overdue tick may come later,
// or not at all, and the awake time until it must count.
int64_t TSleepWatch::Resume(int64_t nowMs) { return Tick(nowMs); }
