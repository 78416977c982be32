#include "timer/sysapi.h"

namespace {

// Interrupt time without the time spent asleep: a countdown pauses over sleep
// instead of ending the moment the machine wakes.
ULONGLONG UnbiasedMs() {
  ULONGLONG units = 0;
  QueryUnbiasedInterruptTime(&units);
  return units / 10000;
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
    UnbiasedMs,
};

SystemApi Sys = RealSystemApi;
