// The tray icon's popup menu and its commands.
#pragma once
#include <windows.h>

// True while a menu command runs (its modal dialog included): no second menu
// opens meanwhile.
extern bool MenuBusy;

void ShowTrayMenu(HWND wnd);
void HandleMenuCommand(HWND wnd, WPARAM wParam);
