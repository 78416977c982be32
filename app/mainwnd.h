// The hidden main window: owner of the tray icon, of both timers and of every
// dialog opened after start-up.
#pragma once
#include <windows.h>

#include "base/tray.h"

constexpr char MAIN_WINDOW_CLASS[] = "Kwiet!";
constexpr UINT WM_TRAYICON = WM_USER;  // the tray icon's callback message
constexpr UINT TRAY_ICON_ID = 1;

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
