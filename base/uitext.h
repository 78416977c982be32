// Texts a user reads go through the wide-character calls: the ANSI ones pass
// them through the system's code page, which loses the Polish letters on any
// Windows whose code page is not Polish.
#pragma once
#include <windows.h>

// A string of the string table, read as stored (UTF-16); empty when missing.
struct ResourceText {
  WCHAR Chars[128];
  explicit ResourceText(UINT id);
  const WCHAR* c_str() const { return Chars; }
};

// Text the program makes itself (numbers, times), widened for those calls.
struct WideText {
  WCHAR Chars[64];
  explicit WideText(const char* text);
  const WCHAR* c_str() const { return Chars; }
};

void SetControlText(HWND dlg, int id, const char* text);

// The program's modal and modeless dialogs, created as Unicode windows so that
// their template texts reach the screen unconverted.
INT_PTR RunDialog(UINT dialogId, HWND owner, DLGPROC proc);
HWND OpenDialog(UINT dialogId, HWND owner, DLGPROC proc);
