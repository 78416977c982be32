#include "timer/shutdown.h"

#include <reason.h>

#include "timer/sysapi.h"

// Reason 0 would log the power-off as unplanned and make Windows ask why at
// the next start.
static const DWORD PLANNED_REASON = SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

bool IsWinNT() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  Sys.GetVersionExA(&info);
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool ShutdownSystem(bool force, DWORD& error) {
  UINT flags = force ? EWX_FORCE : 0;
  if (IsWinNT()) {
    flags |= EWX_POWEROFF;
    HANDLE token = nullptr;
    Sys.OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
    TOKEN_PRIVILEGES newState = {};
    newState.PrivilegeCount = 1;
    newState.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    Sys.LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &newState.Privileges[0].Luid);
    TOKEN_PRIVILEGES previous = {};
    DWORD previousLength = 0;
    Sys.AdjustTokenPrivileges(token, FALSE, &newState, sizeof previous, &previous, &previousLength);
    // The privilege stays enabled for the process; the token handle does not
    // need to.
    if (token != nullptr) Sys.CloseHandle(token);
  } else {
    flags |= EWX_SHUTDOWN;
  }
  // The token steps tell nothing: AdjustTokenPrivileges succeeds even when
  // the right was not granted, and without the right the request fails.
  if (Sys.ExitWindowsEx(flags, PLANNED_REASON) != FALSE) return true;
  error = GetLastError();
  // Windows is going down already: the end comes as asked.
  return error == ERROR_SHUTDOWN_IN_PROGRESS;
}
