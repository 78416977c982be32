#include "traymenu/traymenu.h"

#include <initializer_list>

#include "base/handles.h"
#include "base/uitext.h"
#include "dialogs/about.h"
#include "dialogs/settime.h"
#include "res/resource.h"
#include "timer/timer.h"

bool MenuBusy = false;

namespace {

// Right edge and top at the cursor; either button picks an item.
constexpr UINT TRAY_MENU_FLAGS = TPM_RIGHTALIGN | TPM_RIGHTBUTTON;

// The item pictures, loaded at each opening and deleted after the menu is
// gone: the menu only borrows them.
class MenuPictures {
 public:
  enum Index { CHECKED, UNCHECKED, RESTART, EXIT, CLOCK, INFO, COUNT };

  MenuPictures() {
    static const char* const names[COUNT] = {RES_MENU_CHECKED, RES_MENU_UNCHECKED, RES_MENU_RESTART,
                                             RES_MENU_EXIT,    RES_MENU_CLOCK,     RES_MENU_INFO};
    for (int i = 0; i < COUNT; ++i) pictures_[i] = LoadBitmapA(HInstance, names[i]);
  }
  ~MenuPictures() {
    for (HBITMAP picture : pictures_) {
      if (picture != nullptr) DeleteObject(picture);
    }
  }
  MenuPictures(const MenuPictures&) = delete;
  MenuPictures& operator=(const MenuPictures&) = delete;
  HBITMAP operator[](Index i) const { return pictures_[i]; }

 private:
  HBITMAP pictures_[COUNT];
};

class ScopedMenu {
 public:
  ScopedMenu() : menu_(CreatePopupMenu()) {}
  ~ScopedMenu() {
    if (menu_ != nullptr) DestroyMenu(menu_);
  }
  ScopedMenu(const ScopedMenu&) = delete;
  ScopedMenu& operator=(const ScopedMenu&) = delete;
  operator HMENU() const { return menu_; }

 private:
  HMENU menu_;
};

// Holds MenuBusy for the length of one command, its modal dialog included.
class BusyGuard {
 public:
  BusyGuard() { MenuBusy = true; }
  ~BusyGuard() { MenuBusy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
};

UINT CheckFlag(bool checked) { return checked ? MF_CHECKED : MF_UNCHECKED; }

// The text is loaded at this moment and set off from the picture by a space.
void AppendText(HMENU menu, UINT flags, UINT id, UINT textId, const WCHAR* suffix = L"") {
  WCHAR text[sizeof ResourceText::Chars / sizeof(WCHAR) + 8];
  lstrcpyW(text, L" ");
  lstrcatW(text, ResourceText(textId).c_str());
  lstrcatW(text, suffix);
  AppendMenuW(menu, MF_STRING | flags, id, text);
}

void AppendItems(HMENU menu) {
  AppendMenuW(menu, MF_OWNERDRAW | MF_DISABLED, IDM_CAPTION, nullptr);
  AppendText(menu, CheckFlag(!Timer->Running), IDM_PAUSE, IDS_PAUSE);
  AppendText(menu, 0, IDM_RESTART, IDS_RESTART);
  AppendText(menu, CheckFlag(Timer->ForceShutdown), IDM_FORCE, IDS_FORCE);
  AppendText(menu, CheckFlag(Timer->WarningSound), IDM_WARNING_SOUND, IDS_WARNING_SOUND);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendText(menu, 0, IDM_SET_TIME, IDS_SET_TIME);
  AppendText(menu, CheckFlag(Timer->DisplayVisible), IDM_SHOW_TIME, IDS_SHOW_TIME);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendText(menu, 0, IDM_ABOUT, IDS_ABOUT, L"...");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendText(menu, 0, IDM_EXIT, IDS_EXIT);
}

// Switches show their state with a pair of ticks; actions carry one picture
// in the unchecked slot, which is the one they always show.
void SetItemPictures(HMENU menu, const MenuPictures& pictures) {
  for (UINT id : {IDM_PAUSE, IDM_SHOW_TIME, IDM_FORCE, IDM_WARNING_SOUND}) {
    SetMenuItemBitmaps(menu, id, MF_BYCOMMAND, pictures[MenuPictures::UNCHECKED], pictures[MenuPictures::CHECKED]);
  }
  SetMenuItemBitmaps(menu, IDM_SET_TIME, MF_BYCOMMAND, pictures[MenuPictures::CLOCK], nullptr);
  SetMenuItemBitmaps(menu, IDM_RESTART, MF_BYCOMMAND, pictures[MenuPictures::RESTART], nullptr);
  SetMenuItemBitmaps(menu, IDM_EXIT, MF_BYCOMMAND, pictures[MenuPictures::EXIT], nullptr);
  SetMenuItemBitmaps(menu, IDM_ABOUT, MF_BYCOMMAND, pictures[MenuPictures::INFO], nullptr);
}

}  // namespace

void ShowTrayMenu(HWND wnd) {
  MenuPictures pictures;
  // Without the foreground the menu would not close when the user clicks
  // elsewhere.
  SetForegroundWindow(wnd);
  POINT at = {};
  GetCursorPos(&at);
  {
    ScopedMenu menu;
    AppendItems(menu);
    SetItemPictures(menu, pictures);
    TrackPopupMenu(menu, TRAY_MENU_FLAGS, at.x, at.y, 0, wnd, nullptr);
  }
  // Lets the next menu open at the first click after this one closed.
  PostMessageA(wnd, WM_NULL, 0, 0);
}

void HandleMenuCommand(HWND wnd, WPARAM wParam) {
  // Once the countdown has ended nothing may start it again, nor stand over
  // the box of a refused power-off.
  if (Timer->Ended) return;
  BusyGuard busy;
  switch (LOWORD(wParam)) {
    case IDM_PAUSE:
      Timer->SetRunning(!Timer->Running);
      break;
    case IDM_RESTART:
      Timer->Restart();
      break;
    case IDM_FORCE:
      Timer->ForceShutdown = !Timer->ForceShutdown;
      break;
    case IDM_WARNING_SOUND:
      Timer->WarningSound = !Timer->WarningSound;
      break;
    case IDM_SET_TIME:
      RunDialog(IDD_SETTIME, MainWnd, SetTimeDlgProc);  // the dialog applies a confirmed time itself
      break;
    case IDM_SHOW_TIME:
      Timer->ShowDisplay(!Timer->DisplayVisible);
      break;
    case IDM_ABOUT:
      RunDialog(IDD_ABOUT, MainWnd, AboutDlgProc);
      break;
    case IDM_EXIT:
      PostMessageA(wnd, WM_CLOSE, 0, 0);
      break;
  }
}
