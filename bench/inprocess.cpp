// Figures measured inside one process running the program's own code: GDI
// objects and memory held over many menu openings and an hour of display
// repaints (the hour compressed through the clock seam), and timer wake-ups
// per second with the real timers.
//   inprocess.exe held|wakeups|endtime PERIOD [AT_MS:STALL_MS ...]
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/startup.h"
#include "gdicount.h"
#include "timer/sysapi.h"
#include "timer/timer.h"
#include "traymenu/traymenu.h"

namespace {

ULONGLONG FakeNow = 1000000;
double PowerOffAt = 0;

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}
BOOL WINAPI FakeUnbiasedTime(PULONGLONG units) {
  *units = FakeNow * 10000;
  return TRUE;
}
BOOL WINAPI NoBeep(DWORD, DWORD) { return TRUE; }
BOOL WINAPI NoPowerOff(UINT, DWORD) {
  PowerOffAt = NowMs();
  return TRUE;
}

// Callbacks are named functions, not lambdas: on x86 they must be stdcall.
BOOL CALLBACK CountWindow(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}

int Windows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
  return n;
}

// Resident memory as Linux sees the Wine process (Wine reports no private bytes).
long ResidentKb() {
  FILE* f = fopen("Z:\\proc\\self\\status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long kb = -1;
  while (fgets(line, sizeof line, f)) {
    if (strncmp(line, "VmRSS:", 6) == 0) kb = atol(line + 6);
  }
  fclose(f);
  return kb;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void Report(const char* when) {
  Pump();
  printf("%-36s %8d %8d %10ld\n", when, CountGdiObjects(), Windows(), ResidentKb());
}

void CALLBACK CloseMenu(HWND wnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(wnd, id);
  EndMenu();
}

void Held() {
  printf("%-36s %8s %8s %10s\n", "", "GDI", "windows", "RSS KiB");
  Report("after start");
  for (int i = 0; i < 1001; ++i) {
    if (i == 1) Report("after the first menu opening");
    SetTimer(MainWnd, 77, 1, CloseMenu);
    ShowTrayMenu(MainWnd);
    Pump();
  }
  Report("after 1,001 menu openings");
  for (int second = 0; second < 3600; ++second) {
    FakeNow += 1000;
    Timer->HandleTimer(TICK_TIMER_ID);
    Timer->HandleTimer(BLINK_TIMER_ID);
    Timer->HandleTimer(BLINK_TIMER_ID);
    if (Timer->DisplayWnd != nullptr) UpdateWindow(Timer->DisplayWnd);
    Timer->Remaining = 7200;  // keep it running
  }
  Report("after an hour of display repaints");
}

// Counts what the message loop hands out, with the real timers, for a while.
void CountFor(const char* what, DWORD ms) {
  int timers = 0, paints = 0;
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER) ++timers;
      if (msg.message == WM_PAINT) ++paints;
      DispatchMessageA(&msg);
    }
  }
  printf("%-36s %10.1f %10.1f\n", what, timers * 1000.0 / ms, paints * 1000.0 / ms);
}

void Wakeups() {
  Sys.QueryUnbiasedInterruptTime = RealSystemApi.QueryUnbiasedInterruptTime;
  Timer->SetRunning(true);
  printf("%-36s %10s %10s\n", "", "WM_TIMER/s", "WM_PAINT/s");
  CountFor("counting, display shown", 5000);
  Timer->ShowDisplay(false);
  CountFor("counting, no display", 5000);
  Timer->ShowDisplay(true);
  Timer->SetRunning(false);
  CountFor("paused, display shown", 5000);
}

// Blocks the GUI thread at the given times after the start, as a busy machine
// would, from one-shot timers of the thread itself.
struct Stall {
  DWORD At, For;
};
Stall Stalls[8];
int StallCount = 0;
double Started = 0;

void CALLBACK StallNow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  for (int k = 0; k < StallCount; ++k) {
    if (Stalls[k].At != 0 && NowMs() - Started + 20 >= Stalls[k].At) {
      Sleep(Stalls[k].For);
      Stalls[k].At = 0;
      return;
    }
  }
}

void ArmStalls(int argc, char** argv, int first) {
  for (int i = first; i < argc && StallCount < 8; ++i) {
    unsigned at = 0, stall = 0;
    if (sscanf(argv[i], "%u:%u", &at, &stall) == 2) Stalls[StallCount++] = {at, stall};
  }
  for (int i = 0; i < StallCount; ++i) {
    SetTimer(nullptr, 0, Stalls[i].At, StallNow);
  }
}

int NaiveRemaining = 0;
double NaiveEnd = 0;

// The naive way, for comparison: one second less per WM_TIMER.
LRESULT CALLBACK NaiveWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == 1 && --NaiveRemaining <= 0 && NaiveEnd == 0) {
    NaiveEnd = NowMs();
    PostQuitMessage(0);
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

double NaiveEndTime(int period, int argc, char** argv) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = NaiveWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KwietNaive";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  NaiveRemaining = period;
  Started = NowMs();
  SetTimer(wnd, 1, 1000, nullptr);
  ArmStalls(argc, argv, 3);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  DestroyWindow(wnd);
  return NaiveEnd - Started - period * 1000.0;
}

// Our countdown with the real clock and timers: from the start to the
// power-off request. The display stays off, so the countdown's start is the
// last step of the start-up.
void EndTime(int argc, char** argv) {
  int period = argc > 2 ? atoi(argv[2]) : 20;
  printf("%.0f ", NaiveEndTime(period, argc, argv));
  Sys.QueryUnbiasedInterruptTime = RealSystemApi.QueryUnbiasedInterruptTime;
  HKEY key = nullptr;
  DWORD off = 0;
  RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Orlo Software\\Kwiet!", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, "Show Timer Display", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  RegCloseKey(key);
  char line[32];
  wsprintfA(line, "kwiet.exe %d", period);
  if (StartProgram(line) != StartResult::Loop) return;
  Started = NowMs();
  ArmStalls(argc, argv, 3);
  RunMessageLoop();
  printf("%.0f\n", PowerOffAt - Started - period * 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
  Sys.QueryUnbiasedInterruptTime = FakeUnbiasedTime;
  Sys.Beep = NoBeep;
  Sys.ExitWindowsEx = NoPowerOff;
  if (argc > 1 && strcmp(argv[1], "endtime") == 0) {
    EndTime(argc, argv);
    fflush(stdout);
    ExitProcess(0);
  }
  if (StartProgram("kwiet.exe 7200") != StartResult::Loop) return 1;
  if (argc > 1 && strcmp(argv[1], "wakeups") == 0) {
    Wakeups();
  } else {
    Held();
  }
  fflush(stdout);
  ExitProcess(0);  // no exit sequence: the settings of this run are not the user's
}
