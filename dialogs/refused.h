// The one message the program ever shows about a failure: Windows refused to
// power the computer off.
#pragma once
#include <windows.h>

// A topmost box with the system's reason for `error`; returns when the user
// has closed it.
void ShowPowerOffRefused(DWORD error);
