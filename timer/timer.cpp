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
int64_t Now() { return static_cast<int64_t>(MonotonicMs()); }

}  // namespace

void TTimer::ArmTick(UINT delayMs, int64_t nowMs) {
  Watch.Armed(nowMs, delayMs);
  TickTimerId = SetTimer(MainWnd, TICK_TIMER_ID, delayMs, nullptr);
}

void TTimer::SetRunning(bool run) {
  // Whatever a sleep left pending is void: a pause keeps `Remaining`, a start
  // counts from now.
  Watch.Clear();
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
  HWND text = DisplayWnd != nullptr ? GetDlgItem(DisplayWnd, IDC_DISPLAY_TEXT) : nullptr;
  if (text != nullptr) InvalidateRect(text, nullptr, FALSE);  // null would be every window on the desktop
}

void TTimer::HandleTimer(UINT_PTR id) {
  if (id == TICK_TIMER_ID) {
    Tick();
  } else if (id == BLINK_TIMER_ID) {
    Blink();
  }
}

void TTimer::Tick() {
  if (!Counting()) return;
  int32_t before = Remaining;
  int64_t now = Now();
  DeadlineMs += Watch.Tick(now);
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
  // Before the end: a refused power-off's box stands over the corner window,
  // which must read what the tooltip reads.
  Refresh();

  if (Remaining <= 0) {
    Ended = true;
    DWORD error = ERROR_SUCCESS;
    if (!ShutdownSystem(ForceShutdown, error)) SendMessageA(MainWnd, WM_POWEROFF_REFUSED, error, 0);
    SendMessageA(MainWnd, WM_DESTROY, 0, 0);
  }
}

// A paused or ended countdown has nothing to leave out.
bool TTimer::Counting() const { return Running && !Ended; }

void TTimer::Suspend() {
  if (Counting()) Watch.Suspend(Now());
}

// A sleep that ends here moves the deadline on, and the tick, overdue since
// before it, is armed anew so that it does not leave the sleep out again.
void TTimer::Resume() {
  if (!Counting()) return;
  const int64_t now = Now();
  const int64_t leaveOut = Watch.Resume(now);
  if (leaveOut == 0) return;
  DeadlineMs += leaveOut;
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
