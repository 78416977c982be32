// The two handles every window of the program is made from or owned by.
#pragma once
#include <windows.h>

// This module: resources, window classes and dialogs are loaded from it.
extern HINSTANCE HInstance;
// The hidden main window; null until start-up has created it.
extern HWND MainWnd;
