#include "traymenu_inside.h"

#include "res/resource.h"

namespace {

InsideScript* Current = nullptr;
constexpr UINT MN_GETHMENU_MSG = 0x01E1;

// A visible dialog of this thread that has a control with this id.
struct DialogSearch {
  int MarkerId;
  HWND Found;
};

BOOL CALLBACK FindDialog(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  char cls[16] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd) || GetDlgItem(wnd, search->MarkerId) == nullptr) {
    return TRUE;
  }
  search->Found = wnd;
  return FALSE;
}

HWND FindThreadDialog(int markerId) {
  DialogSearch search = {markerId, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace

InsideScript::InsideScript(std::vector<std::function<void()>> steps, UINT intervalMs, std::function<bool()> ready)
    : steps_(std::move(steps)), ready_(std::move(ready)) {
  Current = this;
  timer_ = SetTimer(nullptr, 0, intervalMs, OnTimer);
}

InsideScript::~InsideScript() {
  KillTimer(nullptr, timer_);
  Current = nullptr;
}

void CALLBACK InsideScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  InsideScript* self = Current;
  if (self == nullptr) return;
  constexpr int MAX_WAIT_TICKS = 100;
  if (self->next_ < self->steps_.size()) {
    // Wine shows a modal dialog only once its queue has run empty.
    if (self->ready_ && !self->ready_() && ++self->waited_ < MAX_WAIT_TICKS) return;
    // The step may run a nested loop of its own; it must not run again.
    auto step = self->steps_[self->next_++];
    step();
    return;
  }
  if (OpenMenuWnd() != nullptr) {
    self->closedLeftovers_ = true;
    EndMenu();
  }
  for (HWND dlg : {SetTimeWnd(), AboutWnd(), MessageBoxWnd()}) {
    if (dlg != nullptr) {
      self->closedLeftovers_ = true;
      EndDialog(dlg, -1);
    }
  }
}

HWND OpenMenuWnd() {
  HWND wnd = FindWindowA("#32768", nullptr);
  return wnd != nullptr && IsWindowVisible(wnd) ? wnd : nullptr;
}

HMENU OpenMenu() {
  HWND wnd = OpenMenuWnd();
  return wnd == nullptr ? nullptr : reinterpret_cast<HMENU>(SendMessageA(wnd, MN_GETHMENU_MSG, 0, 0));
}

std::vector<MenuItemView> ReadMenu(HMENU menu) {
  std::vector<MenuItemView> items;
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    WCHAR text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    items.push_back({GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION), text});
  }
  return items;
}

HWND SetTimeWnd() { return FindThreadDialog(IDC_CLOCK_SUMMARY); }
HWND AboutWnd() { return FindThreadDialog(IDC_ABOUT_VERSION); }
// The About box has controls of that id too: not for tests that open both.
HWND MessageBoxWnd() { return FindThreadDialog(MESSAGE_BOX_TEXT_ID); }

std::string ItemText(HWND dlg, int id) {
  char text[64] = {};
  GetDlgItemTextA(dlg, id, text, sizeof text);
  return text;
}

bool ItemEnabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }

void TypeInto(HWND dlg, int id, const char* text) {
  SetFocus(GetDlgItem(dlg, id));
  SetDlgItemTextA(dlg, id, text);
}

void PressKey(HWND dlg, WPARAM key) {
  HWND focus = GetFocus();
  PostMessageA(focus != nullptr ? focus : dlg, WM_KEYDOWN, key, 1);
  PostMessageA(focus != nullptr ? focus : dlg, WM_KEYUP, key, 0xC0000001);
}
