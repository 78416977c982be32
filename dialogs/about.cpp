#include "dialogs/about.h"

// Stand-in until the About box is built.
INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) EndDialog(dlg, 0);
  return FALSE;
}
