#include "dialogs/settime.h"

// Stand-in until the dialog is built: confirms the loaded period at once.
INT_PTR CALLBACK SetTimeDlgProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) EndDialog(dlg, 1);
  return FALSE;
}
