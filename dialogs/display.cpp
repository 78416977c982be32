// The countdown display window (102): a tiny borderless time display in the
// top-right corner of the primary screen.
#include "base/scoped.h"
#include "base/handles.h"
#include "base/uitext.h"
#include "res/resource.h"
#include "timer/timer.h"
#include "timer/timetext.h"

namespace {

constexpr int WINDOW_WIDTH = 75;
constexpr int WINDOW_HEIGHT = 20;
constexpr RECT CLOCK_BOX = {6, 4, 6 + 12, 4 + 12};
constexpr RECT TEXT_BOX = {19, 4, 19 + 51, 4 + 12};
// In the text control's coordinates; reaches two pixels past its right edge,
// so the text sits a little right of the control's middle.
constexpr RECT TEXT_RECT = {1, 0, 53, 10};
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);

const char* const CLOCK_NAMES[4] = {RES_CLOCK_0, RES_CLOCK_1, RES_CLOCK_2, RES_CLOCK_3};

// Drawing objects that live as long as the window.
struct DisplayObjects {
  ScopedFont Font;
  ScopedBrush Black;
};

DisplayObjects* ObjectsOf(HWND dlg) { return reinterpret_cast<DisplayObjects*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

bool IsClockBitmap(HANDLE image) {
  for (HBITMAP clock : ClockBitmaps) {
    if (image == clock) return true;
  }
  return false;
}

// Takes a picture out of a control. A picture the control loaded from the
// template is ours to delete once taken out (Wine never deletes it at all);
// the clock pictures are deleted with the window's close.
void TakeImageBack(HWND dlg, int id, HBITMAP replacement) {
  HANDLE old = reinterpret_cast<HANDLE>(
      SendDlgItemMessageA(dlg, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(replacement)));
  if (old != nullptr && !IsClockBitmap(old)) DeleteObject(old);
}

BOOL OnInitDialog(HWND dlg) {
  auto* objects = new DisplayObjects();
  objects->Font.reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0, "Tahoma"));
  objects->Black.reset(CreateSolidBrush(BLACK));
  SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(objects));
  SendDlgItemMessageA(dlg, IDC_DISPLAY_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(objects->Font.get()), FALSE);
  // The same grey clock as the template's, but one of ours: the blink then
  // never takes a picture out of the control that nobody would delete.
  TakeImageBack(dlg, IDC_DISPLAY_CLOCK, ClockBitmaps[0]);
  return FALSE;
}

INT_PTR OnCtlColorStatic(HWND dlg, HWND control) {
  DisplayObjects* objects = ObjectsOf(dlg);
  if (objects == nullptr || GetDlgCtrlID(control) != IDC_DISPLAY_TEXT) return FALSE;
  return reinterpret_cast<INT_PTR>(objects->Black.get());
}

BOOL OnDrawItem(HWND dlg, const DRAWITEMSTRUCT* item) {
  if (item->CtlID != IDC_DISPLAY_TEXT) return FALSE;
  DisplayObjects* objects = ObjectsOf(dlg);
  ScopedSelect font(item->hDC, objects != nullptr ? objects->Font.get() : nullptr);
  // The tick repaints the control without an erase: what a longer text
  // before left beside a shorter one ("Pauza", "99:59:59") goes first.
  if (objects != nullptr) FillRect(item->hDC, &item->rcItem, objects->Black.get());
  SetBkColor(item->hDC, BLACK);
  SetTextColor(item->hDC, WHITE);
  RECT rect = TEXT_RECT;
  constexpr UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (Timer->Running) {
    DrawTextW(item->hDC, WideText(SecondsToText(Timer->Remaining).c_str()).c_str(), -1, &rect, format);
  } else {
    DrawTextW(item->hDC, ResourceText(IDS_PAUSE).c_str(), -1, &rect, format);
  }
  return TRUE;
}

// Only the program closes the window (ShowDisplay); Alt+F4 on it does not.
BOOL OnClose() { return TRUE; }

// Whoever destroys the window (ShowDisplay, or the main window taking the
// windows it owns with it), the countdown must not keep its dead handle.
BOOL OnDestroy(HWND dlg) {
  if (Timer != nullptr && Timer->DisplayWnd == dlg) Timer->DisplayWnd = nullptr;
  TakeImageBack(dlg, IDC_DISPLAY_BACK, nullptr);
  TakeImageBack(dlg, IDC_DISPLAY_CLOCK, nullptr);
  SendDlgItemMessageA(dlg, IDC_DISPLAY_TEXT, WM_SETFONT, 0, FALSE);
  delete ObjectsOf(dlg);
  SetWindowLongPtrA(dlg, DWLP_USER, 0);
  return TRUE;
}

INT_PTR CALLBACK DisplayDlgProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog(dlg);
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(dlg, reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      return OnDrawItem(dlg, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CLOSE:
      return OnClose();
    case WM_DESTROY:
      return OnDestroy(dlg);
  }
  return FALSE;
}

void MoveControl(HWND dlg, int id, const RECT& box) {
  MoveWindow(GetDlgItem(dlg, id), box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE);
}

void FreeClockBitmaps() {
  for (HBITMAP& clock : ClockBitmaps) {
    if (clock != nullptr) DeleteObject(clock);
    // A stale handle could name another object later.
    clock = nullptr;
  }
}

}  // namespace

void TTimer::ShowDisplay(bool show) {
  // Switching on while open makes a new window; the old one and its
  // pictures go first, so nothing is left behind.
  // A modeless dialog is destroyed; EndDialog would only hide it.
  if (DisplayWnd != nullptr) DestroyWindow(DisplayWnd);
  DisplayWnd = nullptr;
  FreeClockBitmaps();
  if (show) {
    // Loaded before the window, which starts with the grey one.
    for (int i = 0; i < 4; ++i) ClockBitmaps[i] = LoadBitmapA(HInstance, CLOCK_NAMES[i]);
    DisplayWnd = OpenDialog(IDD_DISPLAY, MainWnd, DisplayDlgProc);
    if (DisplayWnd != nullptr) {
      MoveControl(DisplayWnd, IDC_DISPLAY_CLOCK, CLOCK_BOX);
      MoveControl(DisplayWnd, IDC_DISPLAY_TEXT, TEXT_BOX);
      MoveWindow(DisplayWnd, GetSystemMetrics(SM_CXSCREEN) - WINDOW_WIDTH, 0, WINDOW_WIDTH, WINDOW_HEIGHT, FALSE);
      ShowWindow(DisplayWnd, SW_SHOW);
    }
  }
  DisplayVisible = show;
}
