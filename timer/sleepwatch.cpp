#include "timer/sleepwatch.h"

namespace {

// A tick this far behind its time may be the first sign of a sleep that was
// not announced, or announced while the program was busy: a gap. Shorter
// sleeps cannot be told from a busy machine's stalls, and count.
constexpr int64_t GAP_MS = 10000;
// A gap waits this long for a resume message, and takes one that came this
// long before it: on a slow resume from hibernation on XP, with other
// programs busy waking up, seconds may lie between the two.
constexpr int64_t HOLD_FOR_RESUME_MS = 15000;
constexpr int64_t RESUME_RECENT_MS = 60000;
// While a gap waits, a tick that counts nothing sees a sleep that begins then.
constexpr uint32_t HOLD_WATCH_MS = 1000;
// Windows does not promise a resume message to every program, and a sleep
// may fail after it was announced: without one, the machine is taken as
// awake this long after the suspend.
constexpr uint32_t ASLEEP_WATCH_MS = 30000;

}  // namespace

void TSleepWatch::Armed(int64_t nowMs, uint32_t delayMs) {
  ArmedMs = nowMs;
  NextTickMs = delayMs;
}

void TSleepWatch::Clear() {
  Asleep = false;
  HeldMs = 0;
  ResumedMs = 0;
}

// The time since the tick was armed, if the tick is a gap behind; else 0.
int64_t TSleepWatch::GapMs(int64_t nowMs) const {
  const int64_t since = nowMs - ArmedMs;
  return since - NextTickMs > GAP_MS ? since : 0;
}

TSleepStep TSleepWatch::Hold(int64_t nowMs, int64_t gapMs) {
  HeldMs += gapMs;
  HoldUntilMs = nowMs + HOLD_FOR_RESUME_MS;
  return {TSleepStep::Wait, 0, HOLD_WATCH_MS};
}

// Everything held is taken for sleep too: late by a stall, never early.
TSleepStep TSleepWatch::Wake(int64_t sleptMs) {
  const int64_t leaveOut = HeldMs + sleptMs;
  Clear();
  return {TSleepStep::Count, leaveOut, 0};
}

TSleepStep TSleepWatch::Tick(int64_t nowMs) {
  if (Asleep) {
    // A tick queued before the suspend comes right after it; the watch, or
    // that tick at the wake, later.
    if (nowMs - ArmedMs <= GAP_MS) return {TSleepStep::Keep, 0, 0};
    return Wake(nowMs - AsleepSinceMs);
  }
  const int64_t gap = GapMs(nowMs);
  const int64_t resumed = ResumedMs;
  ResumedMs = 0;  // the first tick after a resume is the overdue one, if any
  if (HeldMs > 0) {
    if (gap > 0) return Hold(nowMs, gap);
    if (nowMs < HoldUntilMs) return {TSleepStep::Wait, 0, HOLD_WATCH_MS};
    Clear();  // no resume came: a busy machine's stall, which counts
    return {TSleepStep::Count, 0, 0};
  }
  if (gap == 0) return {TSleepStep::Count, 0, 0};
  // Only a resume after the tick fell due can end the sleep that made it late.
  if (resumed > ArmedMs + NextTickMs && nowMs - resumed <= RESUME_RECENT_MS) return Wake(resumed - ArmedMs);
  return Hold(nowMs, gap);
}

// Heard a gap late, the sleep began after the last tick that came.
TSleepStep TSleepWatch::Suspend(int64_t nowMs) {
  if (Asleep) return {TSleepStep::Keep, 0, 0};
  AsleepSinceMs = GapMs(nowMs) > 0 ? ArmedMs : nowMs;
  Asleep = true;
  ResumedMs = 0;
  return {TSleepStep::Wait, 0, ASLEEP_WATCH_MS};
}

// Windows sends two resume messages for one wake, and after a sleep it did
// not announce perhaps only the automatic one (Vista on): the first ends a
// sleep or a hold, with a gap the tick has not shown yet; the latest of the
// others is kept for the overdue tick to come.
TSleepStep TSleepWatch::Resume(int64_t nowMs) {
  if (Asleep) return Wake(nowMs - AsleepSinceMs);
  if (HeldMs > 0) return Wake(GapMs(nowMs));
  ResumedMs = nowMs;
  return {TSleepStep::Keep, 0, 0};
}
