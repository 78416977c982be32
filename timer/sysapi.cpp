#include "timer/sysapi.h"

namespace {

using QueryUnbiasedInterruptTimeFn = BOOL(WINAPI*)(PULONGLONG);

// Looked up rather than imported, so that the exe still loads on Windows XP
// and Vista, which lack it.
QueryUnbiasedInterruptTimeFn FindQueryUnbiasedInterruptTime() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  // Through void(*)(): the generic function pointer type, so the cast is allowed.
  auto found = reinterpret_cast<void (*)()>(GetProcAddress(kernel, "QueryUnbiasedInterruptTime"));
  return reinterpret_cast<QueryUnbiasedInterruptTimeFn>(found);
}

}  // namespace

const SystemApi RealSystemApi = {
    ::GetVersionExA,
    ::OpenProcessToken,
    ::LookupPrivilegeValueA,
    ::AdjustTokenPrivileges,
    ::CloseHandle,
    ::ExitWindowsEx,
    ::Beep,
    ::GetLocalTime,
    FindQueryUnbiasedInterruptTime(),
    ::GetTickCount,
    ::GetSystemTime,
    ::GetTimeZoneInformation,
};

SystemApi Sys = RealSystemApi;
