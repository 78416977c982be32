#include "app/instance.h"

#include "app/mainwnd.h"
#include "base/scoped.h"
#include "res/resource.h"

namespace {

ScopedHandle Guard;

// A visible set-time dialog: the class and title of every dialog of ours,
// and the controls that only the set-time dialog has.
HWND FindSetTimeDialog() {
  HWND dlg = nullptr;
  while ((dlg = FindWindowExA(nullptr, dlg, "#32770", "Kwiet!")) != nullptr) {
    if (IsWindowVisible(dlg) && GetDlgItem(dlg, IDC_SETTIME_OK) != nullptr &&
        GetDlgItem(dlg, IDC_MODE_CLOCK) != nullptr) {
      return dlg;
    }
  }
  return nullptr;
}

}  // namespace

bool TakeInstanceGuard() {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, INSTANCE_GUARD_NAME);
  DWORD error = GetLastError();
  if (mutex != nullptr && error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  // Held by a copy that runs with other rights (elevated).
  if (mutex == nullptr && error == ERROR_ACCESS_DENIED) return false;
  // Any other failure leaves the window check alone, as before the guard.
  Guard.reset(mutex);
  if (FindWindowA(MAIN_WINDOW_CLASS, nullptr) != nullptr) {
    Guard.reset();
    return false;
  }
  return true;
}

void ReleaseInstanceGuard() { Guard.reset(); }

void ShowRunningInstance() {
  // A user who starts the program again while its set-time dialog waits,
  // perhaps behind other windows, is looking for that dialog.
  HWND dlg = FindSetTimeDialog();
  if (dlg != nullptr) SetForegroundWindow(dlg);
}
