// The set-time dialog (101): a period or a clock time of day.
#pragma once
#include <windows.h>

INT_PTR CALLBACK SetTimeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
