#include "app/mainwnd.h"

#include "base/handles.h"
#include "dialogs/refused.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "timer/timer.h"
#include "traymenu/caption.h"
#include "traymenu/traymenu.h"

namespace {

// Sent by the shell when the notification area has been created anew: the
// icon is gone and must be added again.
UINT TaskbarCreatedMsg = 0;
// The refusal box has been shown: it comes once, whoever sends the message again.
bool RefusalShown = false;

void OnCreate(HWND wnd) {
  TaskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
  RefusalShown = false;
  TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  TrayIconData.hWnd = wnd;
  TrayIconData.uID = TRAY_ICON_ID;
  TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData.uCallbackMessage = WM_TRAYICON;
  TrayIconData.hIcon = LoadIconA(HInstance, RES_MAINICON);
  lstrcpyA(TrayIconData.szTip, "Kwiet!");
  Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

void OnDestroy() {
  Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
  PostQuitMessage(0);
}

void OnTrayIcon(HWND wnd, LPARAM mouseMsg) {
  switch (mouseMsg) {
    case WM_LBUTTONDOWN:
      SetForegroundWindow(wnd);
      break;
    case WM_RBUTTONDOWN:
      if (!MenuBusy) ShowTrayMenu(wnd);
      break;
  }
}

// The countdown stops with the machine and goes on at wake, whether its
// clock ran on through the sleep or not. The answers stay the default ones:
// a query to suspend is granted.
void OnPowerBroadcast(WPARAM event) {
  if (Timer == nullptr) return;
  switch (event) {
    case PBT_APMSUSPEND:
      Timer->Suspend();
      break;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL:
      Timer->Resume();
      break;
  }
}

// A countdown that has ended (its power-off refused, the box saying so still
// open) gets no icon back: its menu would mean nothing now.
void OnTaskbarCreated() {
  if (Timer != nullptr && !Timer->Ended) Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

// The user must learn that the computer stays on. Nothing of the countdown
// may stand over the box or be used while it is open: the warning's "Anuluj"
// would end the program under it, the tray menu's commands mean nothing now.
// Only the countdown's end asks for it: before that end the message, from
// whoever sent it, shows nothing, and after it no second box.
void OnPowerOffRefused(WPARAM error) {
  if (Timer == nullptr || !Timer->Ended || RefusalShown) return;
  RefusalShown = true;
  Timer->ShowWarning(false);
  Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
  ShowPowerOffRefused(static_cast<DWORD>(error));
}

// Windows ends the process after this without the exit sequence: keep what
// the user set.
void OnEndSession(WPARAM ending) {
  if (ending && Timer != nullptr) LoadSaveSettings(true);
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      OnCreate(wnd);
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_DRAWITEM:
      DrawMenuItem(LOWORD(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_MEASUREITEM:
      MeasureMenuItem(LOWORD(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      break;
    case WM_COMMAND:
      HandleMenuCommand(wnd, wParam);
      return 0;
    case WM_TIMER:
      if (Timer != nullptr) Timer->HandleTimer(wParam);
      break;
    case WM_TRAYICON:
      OnTrayIcon(wnd, lParam);
      break;
    case WM_ENDSESSION:
      OnEndSession(wParam);
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam);
      break;
    case WM_POWEROFF_REFUSED:
      OnPowerOffRefused(wParam);
      return 0;
    default:
      if (msg == TaskbarCreatedMsg && TaskbarCreatedMsg != 0) OnTaskbarCreated();
      break;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}
