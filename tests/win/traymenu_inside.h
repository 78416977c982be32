// Drives the tray menu and modal dialogs from inside their own message loops.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs each step on its own tick of a thread timer, so that what one step
// posts (keys, commands) is handled by the modal loop before the next. A step
// waits for `ready` (the window it works on being on screen). Once the steps
// are used up it closes whatever menu or dialog is still open, so a failing
// test ends instead of hanging.
class InsideScript {
 public:
  InsideScript(std::vector<std::function<void()>> steps, UINT intervalMs, std::function<bool()> ready = nullptr);
  ~InsideScript();
  InsideScript(const InsideScript&) = delete;
  InsideScript& operator=(const InsideScript&) = delete;
  bool Finished() const { return next_ >= steps_.size(); }
  bool ClosedLeftovers() const { return closedLeftovers_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  std::vector<std::function<void()>> steps_;
  std::function<bool()> ready_;
  size_t next_ = 0;
  int waited_ = 0;
  bool closedLeftovers_ = false;
  UINT_PTR timer_ = 0;
};

struct MenuItemView {
  UINT Id;
  UINT State;
  std::wstring Text;
};

// The open tray menu, or null.
HWND OpenMenuWnd();
HMENU OpenMenu();
std::vector<MenuItemView> ReadMenu(HMENU menu);

// The set-time dialog while it is open, or null.
HWND SetTimeWnd();
// The About box while it is open, or null.
HWND AboutWnd();
// A message box while it is open, or null; its text is in this control.
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;
HWND MessageBoxWnd();

std::string ItemText(HWND dlg, int id);
bool ItemEnabled(HWND dlg, int id);
// Types into a field as the user would replace its text.
void TypeInto(HWND dlg, int id, const char* text);
// Posts a key to the control that has the focus, as the keyboard would.
void PressKey(HWND dlg, WPARAM key);

// Counts the windows this thread tries to create, of one class or of any, and
// refuses them: a dialog refused so fails with -1, and a start-up that wrongly
// goes on fails at once instead of waiting in a dialog.
class RefuseWindows {
 public:
  explicit RefuseWindows(const char* onlyClass = nullptr) {
    attempts_ = 0;
    onlyClass_ = onlyClass;
    hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  }
  ~RefuseWindows() { UnhookWindowsHookEx(hook_); }
  RefuseWindows(const RefuseWindows&) = delete;
  RefuseWindows& operator=(const RefuseWindows&) = delete;
  int Attempts() const { return attempts_; }

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_CREATEWND || !Refused(reinterpret_cast<HWND>(wParam))) {
      return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    ++attempts_;
    return 1;
  }
  static bool Refused(HWND wnd) {
    char cls[16] = {};
    return onlyClass_ == nullptr || (GetClassNameA(wnd, cls, sizeof cls) > 0 && lstrcmpA(cls, onlyClass_) == 0);
  }
  static inline int attempts_ = 0;
  static inline const char* onlyClass_ = nullptr;
  HHOOK hook_;
};
