// One copy of the program at a time, from the first moment of start-up to
// the end of the exit sequence.
#pragma once
#include <windows.h>

// A named mutex per session: a copy in its start-up dialog has no main window
// yet, but already holds this. "Local\" exists from Windows 2000 on.
constexpr char INSTANCE_GUARD_NAME[] = "Local\\Kwiet!";

// False when another copy runs: one that holds the guard, or one with its
// main window but without the guard (an older build).
bool TakeInstanceGuard();

// Lets a later start run. Harmless when the guard is not held.
void ReleaseInstanceGuard();

// Brings the running copy's open set-time dialog to the front, if it has one.
void ShowRunningInstance();
