#include "dialogs/refused.h"

#include "base/uitext.h"
#include "res/resource.h"

namespace {

constexpr WCHAR CAPTION[] = L"Kwiet!";
constexpr DWORD REASON_CHARS = 512;

// The system's own text for the error, in the system's language, without the
// line break it ends with; the code alone where the system has no text.
void ReasonText(DWORD error, WCHAR* reason) {
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                           REASON_CHARS, nullptr);
  while (n > 0 && (reason[n - 1] == L'\r' || reason[n - 1] == L'\n' || reason[n - 1] == L' ')) --n;
  reason[n] = L'\0';
  if (n == 0) wsprintfW(reason, ResourceText(IDS_ERROR_CODE).c_str(), error);
}

HHOOK BoxHook = nullptr;

// Wine ignores MB_TOPMOST: the box is made topmost as it is activated (the
// only window of the thread that can be while it is open). Right on Windows
// too.
LRESULT CALLBACK OnBoxActivate(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return CallNextHookEx(BoxHook, code, wParam, lParam);
}

}  // namespace

// Task-modal: the program's other windows take no input while it is open.
void ShowPowerOffRefused(DWORD error) {
  WCHAR reason[REASON_CHARS];
  ReasonText(error, reason);
  WCHAR text[sizeof(ResourceText::Chars) / sizeof(WCHAR) + 1 + REASON_CHARS];
  lstrcpyW(text, ResourceText(IDS_POWEROFF_REFUSED).c_str());
  lstrcatW(text, L" ");
  lstrcatW(text, reason);
  BoxHook = SetWindowsHookExA(WH_CBT, OnBoxActivate, nullptr, GetCurrentThreadId());
  MessageBoxW(nullptr, text, CAPTION, MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
  if (BoxHook != nullptr) UnhookWindowsHookEx(BoxHook);
  BoxHook = nullptr;
}
