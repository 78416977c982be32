// The one countdown object and its two window timers on the main window.
#pragma once
#include <windows.h>

#include <cstdint>

#include "timer/sleepwatch.h"

// Window timers of the main window
constexpr UINT_PTR TICK_TIMER_ID = 1;
constexpr UINT_PTR BLINK_TIMER_ID = 2;
constexpr UINT TICK_INTERVAL_MS = 1000;
constexpr UINT BLINK_INTERVAL_MS = 500;

// Sent to the main window when Windows refused the power-off at the end,
// with the error in wParam; `Ended` is already set.
constexpr UINT WM_POWEROFF_REFUSED = WM_APP + 1;

class TObject {};

// Created zero-filled (value-initialised); start-up gives it its defaults.
class TTimer : public TObject {
 public:
  bool Running;
  bool DisplayVisible;
  UINT_PTR TickTimerId;
  uint8_t Mode;  // 0: set as a period, 1: as a clock time of day
  int32_t Remaining;
  int32_t Period;
  HWND DisplayWnd;
  HWND WarningWnd;
  UINT_PTR BlinkTimerId;
  uint8_t BlinkPhase;
  bool ForceShutdown;
  bool WarningSound;
  // The count runs to a deadline on the monotonic clock: ticks merged, slowed
  // by the timer's rounding or up to 5 s late cannot make the end late.
  int64_t DeadlineMs;
  bool Ended;  // the power-off has been asked for
  // Whatever time the program could not run, asleep or stopped, left out of
  // the count; it also keeps when timer 1 was last armed, and with what.
  TSleepWatch Watch;

  void Restart();
  void Refresh();
  void SetRunning(bool run);
  void ShowDisplay(bool show);  // dialogs/display.cpp
  void ShowWarning(bool show);  // dialogs/warning.cpp
  void HandleTimer(UINT_PTR id);
  // The power messages: the machine goes to sleep, or wakes.
  void Suspend();
  void Resume();

 private:
  void Tick();
  void Blink();
  void ArmTick(UINT delayMs, int64_t nowMs);
  bool Counting() const;
  void Warn(int32_t before);
};

extern TTimer* Timer;

// "BM_CLOCK_0" to "BM_CLOCK_3": loaded and freed with the display window.
extern HBITMAP ClockBitmaps[4];
