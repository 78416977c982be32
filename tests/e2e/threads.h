// Stops and resumes another process's threads, as Windows stops a desktop
// program in modern standby, or a busy machine stalls it, while the clocks
// run on. For the tools that watch the program from outside.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

inline void SetThreadsSuspended(DWORD pid, bool suspend) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != pid) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    if (suspend) {
      SuspendThread(thread);
    } else {
      ResumeThread(thread);
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}
