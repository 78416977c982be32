// The About box (100).
#include "dialogs/about.h"

#include "base/uitext.h"
#include "res/resource.h"
#include "res/version.h"

namespace {

constexpr char VERSION_TEXT[] = "Kwiet! v" KWIET_VERSION_SHORT;

// TRUE: the dialog manager gives the focus to the first tab stop, OK.
BOOL OnInitDialog(HWND dlg) {
  SetControlText(dlg, IDC_ABOUT_VERSION, VERSION_TEXT);
  return TRUE;
}

// OK, Enter and Alt+O close the box the way the close box does. Esc
// (IDCANCEL) is answered and ignored.
BOOL OnCommand(HWND dlg, WPARAM wParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) SendMessageA(dlg, WM_CLOSE, 0, 0);
  return TRUE;
}

BOOL OnClose(HWND dlg) {
  EndDialog(dlg, 0);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog(dlg);
    case WM_COMMAND:
      return OnCommand(dlg, wParam);
    case WM_CLOSE:
      return OnClose(dlg);
  }
  return FALSE;
}
