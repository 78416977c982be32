#include "base/uitext.h"

#include "base/handles.h"

ResourceText::ResourceText(UINT id) {
  if (LoadStringW(HInstance, id, Chars, sizeof Chars / sizeof Chars[0]) <= 0) Chars[0] = L'\0';
}

WideText::WideText(const char* text) {
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, Chars, sizeof Chars / sizeof Chars[0]) <= 0) Chars[0] = L'\0';
}

void SetControlText(HWND dlg, int id, const char* text) { SetDlgItemTextW(dlg, id, WideText(text).c_str()); }

INT_PTR RunDialog(UINT dialogId, HWND owner, DLGPROC proc) {
  return DialogBoxParamW(HInstance, MAKEINTRESOURCEW(dialogId), owner, proc, 0);
}

HWND OpenDialog(UINT dialogId, HWND owner, DLGPROC proc) {
  return CreateDialogParamW(HInstance, MAKEINTRESOURCEW(dialogId), owner, proc, 0);
}
