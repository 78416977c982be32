#pragma once

// True on the Windows NT family.
bool IsWinNT();

// Asks Windows to power off (NT) or shut down (the 95 family), forcing
// applications to close when `force` is set. Every step is tried; the result
// says whether all of them succeeded.
bool ShutdownSystem(bool force);
