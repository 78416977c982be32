// The warning dialog (103): the last 30 seconds, with a button that ends the
// program instead of the computer.
#include "base/handles.h"
#include "base/uitext.h"
#include "res/resource.h"
#include "timer/timer.h"

namespace {

BOOL OnInitDialog(HWND dlg) {
  // DS_SYSMODAL makes it topmost on Windows but not under Wine.
  SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TRUE;
}

// The close box only hides the warning until the next second brings a new
// one. A modeless dialog is destroyed, so hidden ones do not pile up.
BOOL OnClose(HWND dlg) {
  DestroyWindow(dlg);
  return TRUE;
}

// "Anuluj" ends the program the regular way, without a power-off: the main
// window removes the icon and ends the loop, the exit sequence saves the
// settings.
BOOL OnCommand(WPARAM wParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_WARNING_CANCEL) {
    SendMessageA(MainWnd, WM_DESTROY, 0, 0);
  }
  return TRUE;
}

INT_PTR CALLBACK WarningDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog(dlg);
    case WM_CLOSE:
      return OnClose(dlg);
    case WM_COMMAND:
      return OnCommand(wParam);
  }
  return FALSE;
}

}  // namespace

void TTimer::ShowWarning(bool show) {
  if (!show) {
    if (WarningWnd != nullptr) DestroyWindow(WarningWnd);
    WarningWnd = nullptr;
    return;
  }
  if (IsWindowVisible(WarningWnd)) return;
  // A hidden earlier one is not reused; it must not linger either.
  if (IsWindow(WarningWnd)) DestroyWindow(WarningWnd);
  WarningWnd = OpenDialog(IDD_WARNING, MainWnd, WarningDlgProc);
  if (WarningWnd != nullptr && !IsWindowVisible(WarningWnd)) ShowWindow(WarningWnd, SW_SHOW);
}
