#pragma once
#include <windows.h>

// True on the Windows NT family.
bool IsWinNT();

// Asks Windows to power off (NT) or shut down (the 95 family), forcing
// applications to close when `force` is set. Every step is tried. True when
// Windows took the request or is shutting down already; false when it
// refused it, with its reason (a system error code) in `error`.
bool ShutdownSystem(bool force, DWORD& error);
