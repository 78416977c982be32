// The warning dialog (103): the last 30 seconds, with a button that ends the
// program instead of the computer.
#include "base/geometry.h"
#include "base/handles.h"
#include "base/scoped.h"
#include "base/uitext.h"
#include "res/resource.h"
#include "timer/timer.h"

namespace {

// The widest number the dialog shows; the control is empty when laid out.
constexpr WCHAR WIDEST_SECONDS[] = L"30";

int TextWidth(HWND control) {
  WCHAR text[64];
  const WCHAR* shown = text;
  int length = GetWindowTextW(control, text, sizeof text / sizeof text[0]);
  if (GetDlgCtrlID(control) == IDC_WARNING_SECONDS) {
    shown = WIDEST_SECONDS;
    length = sizeof WIDEST_SECONDS / sizeof WIDEST_SECONDS[0] - 1;
  }
  ScopedWindowDC dc(control);
  ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32W(dc, shown, length, &size);
  return size.cx;
}

void MoveChild(HWND child, const RECT& r) {
  MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// Right of the line's text control and level with it: the number, "sekund.".
bool FollowsOnLine(const RECT& r, const RECT& line) {
  return r.left > line.left && r.top < line.bottom && r.bottom > line.top;
}

// Wider by `extra` pixels about the same middle, so it stays where DS_CENTER
// put it; the button stays centred under the text.
void Widen(HWND dlg, LONG extra) {
  RECT w;
  GetWindowRect(dlg, &w);
  SetWindowPos(dlg, nullptr, w.left - extra / 2, w.top, w.right - w.left + extra, w.bottom - w.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  HWND button = GetDlgItem(dlg, IDC_WARNING_CANCEL);
  RECT r = ChildRect(dlg, button);
  r.left += extra / 2;
  r.right += extra / 2;
  MoveChild(button, r);
}

// Tahoma's widths differ between Windows and Wine's versions (and Wine
// without one substitutes another font), so a piece of the second line may
// not fit its room: the text runs into the number, or the number or
// "sekund." outgrow their controls. Then that piece's control grows and the
// pieces after it move right, into the room the dialog has there; the line
// keeps as much room from the right edge as the icon has from the left one,
// and the dialog widens by what that room lacks. Where all fits, nothing
// moves.
void FitWarningLine(HWND dlg) {
  constexpr int MAX_PIECES = 4;
  HWND text = GetDlgItem(dlg, IDC_WARNING_TEXT);
  RECT line = ChildRect(dlg, text);
  HWND pieces[MAX_PIECES] = {text};
  RECT rects[MAX_PIECES] = {line};
  int count = 1;
  for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r = ChildRect(dlg, child);
    if (!FollowsOnLine(r, line) || count == MAX_PIECES) continue;
    int i = count++;
    for (; i > 1 && rects[i - 1].left > r.left; --i) {
      pieces[i] = pieces[i - 1];
      rects[i] = rects[i - 1];
    }
    pieces[i] = child;
    rects[i] = r;
  }
  // A piece's room is its control, up to the next piece: the text's control
  // reaches a unit under the number's. What follows keeps its gap.
  LONG shift = 0;
  for (int i = 0; i < count; ++i) {
    LONG room = rects[i].right - rects[i].left;
    if (i + 1 < count && rects[i + 1].left - rects[i].left < room) room = rects[i + 1].left - rects[i].left;
    LONG width = TextWidth(pieces[i]);
    rects[i].left += shift;
    rects[i].right += shift;
    if (rects[i].right - rects[i].left < width) rects[i].right = rects[i].left + width;
    if (width > room) shift += width - room;
  }
  if (shift == 0) return;
  RECT client;
  GetClientRect(dlg, &client);
  LONG margin = ChildRect(dlg, IDC_WARNING_ICON).left;
  LONG lack = rects[count - 1].right - (client.right - margin);
  if (lack > 0) Widen(dlg, lack);
  for (int i = 0; i < count; ++i) MoveChild(pieces[i], rects[i]);
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
