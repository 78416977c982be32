#include "timer/sysapi.h"

#include "base/kernelproc.h"

const SystemApi RealSystemApi = {
    ::GetVersionExA,
    ::OpenProcessToken,
    ::LookupPrivilegeValueA,
    ::AdjustTokenPrivileges,
    ::CloseHandle,
    ::ExitWindowsEx,
    ::Beep,
    ::GetLocalTime,
    // Windows 7 on: XP and Vista lack it.
    KernelFunction<BOOL(WINAPI*)(PULONGLONG)>("QueryUnbiasedInterruptTime"),
    ::GetTickCount,
    ::GetSystemTime,
    ::GetTimeZoneInformation,
};

SystemApi Sys = RealSystemApi;
