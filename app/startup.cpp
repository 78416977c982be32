#include "app/startup.h"

#include "app/cmdline.h"
#include "app/instance.h"
#include "app/mainwnd.h"
#include "base/uitext.h"
#include "dialogs/settime.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "timer/timer.h"
#include "timer/timetext.h"

namespace {

void SetDefaults(TTimer& t) {
  t.Mode = 0;
  t.Remaining = 3600;
  t.Period = 3600;
  t.ForceShutdown = false;
  t.DisplayVisible = true;
  t.WarningSound = true;
}

// A period from the command line, or the set-time dialog. False: cancelled,
// or the dialog could not be shown (-1): nobody agreed to a countdown.
bool ChoosePeriod(const char* commandLine) {
  char argument[1024];
  if (FirstArgument(commandLine, argument, sizeof argument)) {
    Timer->Remaining = TextToInt(argument);
    if (Timer->Remaining == 0) Timer->Remaining = Timer->Period;
    Timer->Period = Timer->Remaining;
    return true;
  }
  return RunDialog(IDD_SETTIME, MainWnd, SetTimeDlgProc) == IDOK;
}

HWND CreateMainWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = HInstance;
  wc.hIcon = LoadIconA(HInstance, RES_MAINICON);
  wc.lpszClassName = MAIN_WINDOW_CLASS;
  RegisterClassA(&wc);
  return CreateWindowExA(0, MAIN_WINDOW_CLASS, "Kwiet!", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr, HInstance,
                         nullptr);
}

}  // namespace

StartResult StartProgram(const char* commandLine) {
  HInstance = GetModuleHandleA(nullptr);
  if (!TakeInstanceGuard()) {
    ShowRunningInstance();
    return StartResult::EndNow;
  }
  Timer = new TTimer();  // zero-filled
  SetDefaults(*Timer);
  LoadSaveSettings(false);
  if (!ChoosePeriod(commandLine)) {
    delete Timer;
    Timer = nullptr;
    ReleaseInstanceGuard();
    return StartResult::EndNow;
  }
  MainWnd = CreateMainWindow();
  if (MainWnd == nullptr) return StartResult::ExitSequence;
  ShowWindow(MainWnd, SW_HIDE);
  Timer->SetRunning(true);
  Timer->ShowDisplay(Timer->DisplayVisible);
  return StartResult::Loop;
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void RunExitSequence() {
  if (Timer != nullptr) {
    LoadSaveSettings(true);
    if (Timer->Running) Timer->SetRunning(false);
    delete Timer;
    Timer = nullptr;
  }
  // Last, so that a new start reads the settings just saved.
  ReleaseInstanceGuard();
}

void ExitProgram() {
  RunExitSequence();
  ExitProcess(0);
}
