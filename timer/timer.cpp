#include "timer/timer.h"

#include "base/handles.h"
#include "base/tray.h"
#include "res/resource.h"
#include "timer/clock.h"
#include "timer/deadline.h"
#include "timer/shutdown.h"
#include "timer/sysapi.h"
#include "timer/timetext.h"

TTimer* Timer = nullptr;
HBITMAP ClockBitmaps[4] = {};

namespace {

constexpr int32_t MINUTE_WARNING_AT = 60;
constexpr int32_t WARNING_FROM = 30;
constexpr DWORD MINUTE_BEEP_HZ = 300, MINUTE_BEEP_MS = 250;
constexpr DWORD WARNING_BEEP_BASE_HZ = 600, WARNING_BEEP_STEP_HZ = 10, WARNING_BEEP_MS = 50;
// On the tick count, a tick this far behind its time may be the first message
// after a sleep that was not announced. It waits this long for a resume
// message, and takes one that came this long before it: on a slow resume from
// hibernation on XP, with other programs busy waking up, seconds may lie
// between the two.
constexpr int64_t SLEEP_SUSPECT_MS = 10000;
constexpr UINT HOLD_FOR_RESUME_MS = 15000;
constexpr int64_t RESUME_RECENT_MS = 60000;

int64_t Now() { return static_cast<int64_t>(MonotonicMs()); }

}  // namespace

void TTimer::ArmTick(UINT delayMs, int64_t nowMs) {
  NextTickMs = delayMs;
  TickArmedMs = nowMs;
  TickTimerId = SetTimer(MainWnd, TICK_TIMER_ID, delayMs, nullptr);
}

void TTimer::SetRunning(bool run) {
  // Whatever a sleep left pending is void: a pause keeps `Remaining`, a start
  // counts from now.
  Asleep = false;
  HeldGapMs = 0;
  ResumedMs = 0;
  if (run) {
    int64_t now = Now();
    DeadlineMs = DeadlineAfter(now, Remaining);
    // Before the main window exists there is nothing for the timers to reach;
    // start-up starts them again once it does.
    if (MainWnd != nullptr) {
      ArmTick(TICK_INTERVAL_MS, now);
      BlinkTimerId = SetTimer(MainWnd, BLINK_TIMER_ID, BLINK_INTERVAL_MS, nullptr);
    }
  } else {
    KillTimer(MainWnd, TICK_TIMER_ID);
    KillTimer(MainWnd, BLINK_TIMER_ID);
  }
  Running = run;
  Refresh();
}

void TTimer::Restart() {
  SetRunning(false);
  SetRunning(true);
  Remaining = Period;
  DeadlineMs = DeadlineAfter(Now(), Remaining);
}

// Only the text changes between ticks: repainting the background and the
// clock picture as well would be work for nothing, every second.
void TTimer::Refresh() {
  if (DisplayWnd != nullptr) InvalidateRect(GetDlgItem(DisplayWnd, IDC_DISPLAY_TEXT), nullptr, FALSE);
}

void TTimer::HandleTimer(UINT_PTR id) {
  if (id == TICK_TIMER_ID) {
    Tick();
  } else if (id == BLINK_TIMER_ID) {
    Blink();
  }
}

void TTimer::Tick() {
  // Asleep: a tick queued before the suspend, delivered at wake before the resume.
  if (Ended || !Running || Asleep) return;
  int32_t before = Remaining;
  int64_t now = Now();
  if (HoldLateTick(now)) return;
  Remaining = SecondsLeft(DeadlineMs, now);
  // Re-arm for the next whole second before the deadline, so the seconds
  // shown stay in step with it and the end falls on it.
  if (Remaining > 0) ArmTick(MsUntilNextSecond(DeadlineMs, now), now);
  if (Remaining == before && Remaining > 0) return;  // early: nothing to show yet

  char tip[sizeof TrayIconData.szTip];
  lstrcpyA(tip, "Kwiet! [");
  lstrcatA(tip, SecondsToText(Remaining).c_str());
  lstrcatA(tip, "]");
  lstrcpyA(TrayIconData.szTip, tip);
  Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);

  if (WarningSound) Warn(before);

  if (Remaining <= 0) {
    Ended = true;
    DWORD error = ERROR_SUCCESS;
    if (!ShutdownSystem(ForceShutdown, error)) SendMessageA(MainWnd, WM_POWEROFF_REFUSED, error, 0);
    SendMessageA(MainWnd, WM_DESTROY, 0, 0);
  }
  Refresh();
}

// Only the tick count needs this: it runs on through a sleep. A sleep that was
// announced is left out exactly. An unannounced one (a critical suspend) is
// known only from a resume message, which may come before the tick overdue
// since before the sleep or after it: a tick very late that follows a resume
// soon leaves out the time until that resume; without one it waits a moment
// for it rather than count the sleep and maybe power off the moment the
// machine wakes. With no message it counts as a stall of a busy machine, a
// moment later.
bool TTimer::HoldLateTick(int64_t nowMs) {
  const int64_t resumedMs = ResumedMs;
  ResumedMs = 0;  // the first tick after a resume is the overdue one, if any
  if (HeldGapMs > 0) {
    HeldGapMs = 0;
    return false;
  }
  int64_t sinceLast = nowMs - TickArmedMs;
  if (!ClockCountsSleep() || sinceLast - static_cast<int64_t>(NextTickMs) <= SLEEP_SUSPECT_MS) return false;
  if (resumedMs > 0 && nowMs - resumedMs <= RESUME_RECENT_MS) {
    if (resumedMs > TickArmedMs) DeadlineMs += resumedMs - TickArmedMs;
    return false;
  }
  HeldGapMs = sinceLast;
  ArmTick(HOLD_FOR_RESUME_MS, nowMs);
  return true;
}

// Windows waits only a moment for the answer: a thread busy then handles the
// message after the wake. The tick tells: already far overdue, or held since
// it came far too late, it lost its time to this sleep, which is taken from
// the last tick that counted, as for a wake without a suspend.
void TTimer::Suspend() {
  if (!ClockCountsSleep() || !Running || Ended || Asleep) return;
  const int64_t now = Now();
  AsleepSinceMs = now;
  if (HeldGapMs > 0) {
    AsleepSinceMs = TickArmedMs - HeldGapMs;
  } else if (now - TickArmedMs - static_cast<int64_t>(NextTickMs) > SLEEP_SUSPECT_MS) {
    AsleepSinceMs = TickArmedMs;
  }
  KillTimer(MainWnd, TICK_TIMER_ID);
  HeldGapMs = 0;
  ResumedMs = 0;
  Asleep = true;
}

// Windows sends two resume messages for one wake, and after a sleep it did
// not announce perhaps only the automatic one (Vista on); the deadline moves
// once. Where the sleep was not announced its length is
// unknown: all the time from the last tick to the first sign of the wake is
// taken for sleep, which may make the end up to a second late but never early.
void TTimer::Resume() {
  if (!ClockCountsSleep() || !Running || Ended) return;
  int64_t now = Now();
  int64_t slept = 0;
  if (Asleep) {
    slept = now - AsleepSinceMs;
  } else if (HeldGapMs > 0) {
    slept = HeldGapMs;
  } else {
    // The second message of a wake, or the first of one whose overdue tick
    // is still to come: that tick tells. The latest counts: an earlier one
    // may belong to a wake before a sleep that has begun since.
    ResumedMs = now;
    return;
  }
  Asleep = false;
  HeldGapMs = 0;
  ResumedMs = 0;
  if (slept > 0) DeadlineMs += slept;
  ArmTick(MsUntilNextSecond(DeadlineMs, now), now);
}

void TTimer::Warn(int32_t before) {
  // A late tick may skip 60; the beep still comes once on the way past it.
  if (before > MINUTE_WARNING_AT && Remaining <= MINUTE_WARNING_AT && Remaining > WARNING_FROM) {
    Sys.Beep(MINUTE_BEEP_HZ, MINUTE_BEEP_MS);
  }
  if (Remaining > WARNING_FROM) return;
  // Below zero (a countdown started at zero or less) the warning reads 0.
  UINT shown = Remaining > 0 ? static_cast<UINT>(Remaining) : 0;
  ShowWarning(true);
  SetDlgItemInt(WarningWnd, IDC_WARNING_SECONDS, shown, FALSE);
  // The pitch keeps rising below zero: 660 Hz at -6. Unsigned, so it wraps
  // rather than overflows at the far end.
  Sys.Beep(WARNING_BEEP_BASE_HZ - WARNING_BEEP_STEP_HZ * static_cast<DWORD>(Remaining), WARNING_BEEP_MS);
}

void TTimer::Blink() {
  BlinkPhase ^= 1;
  HBITMAP picture = ClockBitmaps[0];
  if (BlinkPhase != 0) {
    if (Remaining >= 0 && Remaining <= 20) {
      picture = ClockBitmaps[3];
    } else if (Remaining >= 21 && Remaining <= 60) {
      picture = ClockBitmaps[2];
    } else {
      picture = ClockBitmaps[1];
    }
  }
  // The picture control repaints itself; the text has not changed.
  if (DisplayWnd != nullptr) {
    SendDlgItemMessageA(DisplayWnd, IDC_DISPLAY_CLOCK, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  }
}
