// Start-up, message loop and exit.
#pragma once
#include <windows.h>

#include "base/handles.h"

enum class StartResult {
  EndNow,        // another instance runs, or the start-up dialog was cancelled
  ExitSequence,  // the main window could not be created
  Loop,          // ready: run the message loop
};

// Everything before the message loop, from the single-instance guard to the
// display window.
StartResult StartProgram(const char* commandLine);

void RunMessageLoop();

// Saves the settings, stops the timers, frees the countdown object and lets
// a later start run.
void RunExitSequence();

// The exit sequence, then the end of the process with exit code 0.
[[noreturn]] void ExitProgram();
