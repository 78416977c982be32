// The warning dialog (103): the last 30 seconds, with a button that ends the
// program instead of the computer.
#include "base/geometry.h"
#include "base/handles.h"
#include "base/scoped.h"
#include "base/uitext.h"
#include "res/resource.h"
#include "timer/timer.h"

namespace {

int TextWidth(HWND control) {
  WCHAR text[64];
  int length = GetWindowTextW(control, text, sizeof text / sizeof text[0]);
  ScopedWindowDC dc(control);
  ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, length, &size);
  return size.cx;
}

void MoveChild(HWND child, const RECT& r) {
  MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// Right of the line's text control and level with it: the number, "sekund.".
bool FollowsOnLine(const RECT& r, const RECT& line) {
  return r.left > line.left && r.top < line.bottom && r.bottom > line.top;
}

// Tahoma's widths differ between Windows and Wine's versions (and Wine
// without one substitutes another font), so the second line's text may run
// into the number after it. Then the number and "sekund." move right by as
// much as the text lacks, into the room the dialog has there, and the text's
// control grows to hold it. Where the text fits, nothing moves.
void FitWarningLine(HWND dlg) {
  HWND text = GetDlgItem(dlg, IDC_WARNING_TEXT);
  RECT line = ChildRect(dlg, text);
  LONG room = line.right - line.left;
  for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r = ChildRect(dlg, child);
    if (FollowsOnLine(r, line) && r.left - line.left < room) room = r.left - line.left;
  }
  LONG width = TextWidth(text);
  if (width <= room) return;
  for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r = ChildRect(dlg, child);
    if (!FollowsOnLine(r, line)) continue;
    r.left += width - room;
    r.right += width - room;
    MoveChild(child, r);
  }
  if (line.left + width > line.right) line.right = line.left + width;
  MoveChild(text, line);
}

BOOL OnInitDialog(HWND dlg) {
  // DS_SYSMODAL makes it topmost on Windows but not under Wine.
  SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FitWarningLine(dlg);
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
