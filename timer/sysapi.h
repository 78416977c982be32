// What is irreversible or lies outside the process goes through this one
// table, so that tests can put fakes in its place. The program keeps the real
// functions.
#pragma once
#include <windows.h>

struct SystemApi {
  // The power-off request and its token steps
  BOOL(WINAPI* GetVersionExA)(LPOSVERSIONINFOA info);
  BOOL(WINAPI* OpenProcessToken)(HANDLE process, DWORD access, PHANDLE token);
  BOOL(WINAPI* LookupPrivilegeValueA)(LPCSTR system, LPCSTR name, PLUID luid);
  BOOL(WINAPI* AdjustTokenPrivileges)
  (HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD length, PTOKEN_PRIVILEGES previousState,
   PDWORD returnLength);
  BOOL(WINAPI* CloseHandle)(HANDLE handle);
  BOOL(WINAPI* ExitWindowsEx)(UINT flags, DWORD reason);
  // Sound
  BOOL(WINAPI* Beep)(DWORD frequency, DWORD duration);
  // Clocks: the wall clock; interrupt time in 100-ns units without the time
  // spent asleep (Windows 7 on, null where the system lacks it); milliseconds
  // since boot, sleep included, wrapping after 49.7 days.
  void(WINAPI* GetLocalTime)(LPSYSTEMTIME time);
  BOOL(WINAPI* QueryUnbiasedInterruptTime)(PULONGLONG units);
  DWORD(WINAPI* GetTickCount)();
  // The present in UTC and the time zone's rules, for a clock time across a
  // change of the clocks.
  void(WINAPI* GetSystemTime)(LPSYSTEMTIME time);
  DWORD(WINAPI* GetTimeZoneInformation)(LPTIME_ZONE_INFORMATION zone);
};

extern SystemApi Sys;
extern const SystemApi RealSystemApi;
