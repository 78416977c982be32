// Start-up, the single-instance guard, the main window with its tray icon,
// and the exit sequence.
#include "app/instance.h"
#include "app/mainwnd.h"
#include "app/startup.h"
#include "rig.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

using StartupTest = ProgramTest;

TEST_F(StartupTest, PeriodFromTheCommandLineStartsTheCountdown) {
  Start("90");
  EXPECT_EQ(Timer->Remaining, 90);
  EXPECT_EQ(Timer->Period, 90);
  EXPECT_TRUE(Timer->Running);
  EXPECT_FALSE(IsWindowVisible(MainWnd));
  EXPECT_EQ(FindWindowA("Kwiet!", nullptr), MainWnd);
  char title[32];
  GetWindowTextA(MainWnd, title, sizeof title);
  EXPECT_STREQ(title, "Kwiet!");
  // The tray icon is there: modifying it succeeds only for an existing icon.
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData));
  EXPECT_EQ(TrayIconData.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
  EXPECT_EQ(TrayIconData.uCallbackMessage, static_cast<UINT>(WM_USER));
  EXPECT_EQ(Tooltip(), "Kwiet!");
  // Both timers run on the main window: killing them succeeds.
  EXPECT_TRUE(KillTimer(MainWnd, TICK_TIMER_ID));
  EXPECT_TRUE(KillTimer(MainWnd, BLINK_TIMER_ID));
}

TEST_F(StartupTest, ZeroOrTextArgumentTakesTheStoredOrDefaultPeriod) {
  Start("0");
  EXPECT_EQ(Timer->Remaining, 3600);
  EXPECT_EQ(Timer->Period, 3600);
}

TEST_F(StartupTest, StoredPeriodIsUsedForArgumentZero) {
  DWORD stored = 120;
  WriteStoredValue("Last Time", REG_DWORD, &stored, sizeof stored);
  Start("0");
  EXPECT_EQ(Timer->Remaining, 120);
}

TEST_F(StartupTest, ArgumentIsReadUpToItsFirstNonDigit) {
  Start("12abc");
  EXPECT_EQ(Timer->Remaining, 12);
  EXPECT_EQ(Timer->Period, 12);
}

TEST_F(StartupTest, SecondInstanceEndsWithoutTouchingTheRegistry) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Kwiet!";
  ASSERT_TRUE(RegisterClassA(&wc));
  HWND running = CreateWindowExA(0, "Kwiet!", "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(running, nullptr);
  EXPECT_EQ(StartProgram("kwiet.exe 90"), StartResult::EndNow);
  EXPECT_EQ(Timer, nullptr);
  EXPECT_FALSE(SettingsKeyExists());
  DestroyWindow(running);
}

// Another copy still in its start-up dialog has no main window yet; it holds
// only the guard.
TEST_F(StartupTest, StartWhileTheGuardIsHeldEndsBeforeAnyDialogOrSetting) {
  HANDLE other = CreateMutexA(nullptr, FALSE, INSTANCE_GUARD_NAME);
  ASSERT_NE(other, nullptr);
  ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a guard left over from before the test";
  {
    RefuseWindows windows;
    for (const char* line : {"kwiet.exe", "kwiet.exe 90"}) {
      EXPECT_EQ(StartProgram(line), StartResult::EndNow) << line;
      EXPECT_EQ(windows.Attempts(), 0) << line;
      EXPECT_EQ(Timer, nullptr) << line;
      EXPECT_EQ(MainWnd, nullptr) << line;
      EXPECT_FALSE(SettingsKeyExists()) << line;
    }
  }
  // Once the other copy has ended, a start runs.
  CloseHandle(other);
  Start("90");
}

TEST_F(StartupTest, ExitSequenceSavesTheSettingsStopsTheTimersAndFreesTheGuard) {
  Start("90");
  EXPECT_TRUE(InstanceGuardHeld());
  RunExitSequence();
  EXPECT_EQ(Timer, nullptr);
  DWORD value = 0;
  ASSERT_TRUE(ReadStoredDword("Last Time", value));
  EXPECT_EQ(value, 90u);
  EXPECT_FALSE(KillTimer(MainWnd, TICK_TIMER_ID));
  EXPECT_FALSE(KillTimer(MainWnd, BLINK_TIMER_ID));
  EXPECT_FALSE(InstanceGuardHeld());
}

TEST_F(StartupTest, CommandIsAnsweredWithZero) {
  Start("90");
  EXPECT_EQ(SendMessageA(MainWnd, WM_COMMAND, 0x4242, 0), 0);
  EXPECT_EQ(Timer->Remaining, 90);
}

TEST_F(StartupTest, CloseRemovesTheIconAndEndsTheLoop) {
  Start("90");
  PostMessageA(MainWnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(Pump());
  EXPECT_FALSE(IsWindow(MainWnd));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData));
  EXPECT_TRUE(Fake.PowerOffs.empty());
}

TEST_F(StartupTest, IconComesBackWhenTheNotificationAreaIsCreatedAgain) {
  Start("90");
  // A restarted shell has lost every icon...
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &TrayIconData));
  ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData));
  // ...and tells every top-level window so.
  SendMessageA(MainWnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData));
}

TEST_F(StartupTest, SessionEndSavesTheSettings) {
  Start("77");
  SendMessageA(MainWnd, WM_QUERYENDSESSION, 0, 0);
  SendMessageA(MainWnd, WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(SettingsKeyExists() && [] {
    DWORD v;
    return ReadStoredDword("Last Time", v);
  }());
  SendMessageA(MainWnd, WM_ENDSESSION, TRUE, 0);
  DWORD value = 0;
  ASSERT_TRUE(ReadStoredDword("Last Time", value));
  EXPECT_EQ(value, 77u);
}

}  // namespace
