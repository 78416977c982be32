// The power-off request, through the fake system: flags, steps and result.
#include <reason.h>

#include <algorithm>
#include <string>

#include "app/mainwnd.h"
#include "app/startup.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/shutdown.h"
#include "timer/sysapi.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

class ShutdownTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallFakeSystem(); }
  void TearDown() override { Sys = RealSystemApi; }
};

const std::vector<std::string> NT_STEPS = {
    "GetVersionExA",
    "OpenProcessToken:40",  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
    "LookupPrivilegeValueA::SeShutdownPrivilege",
    "AdjustTokenPrivileges:1:0:1:19:2:16",  // our token, one privilege, enabled, 16 bytes
    "CloseHandle",
};

TEST_F(ShutdownTest, NtFamilyEnablesThePrivilegeThenPowersOff) {
  EXPECT_TRUE(IsWinNT());
  for (bool force : {false, true}) {
    Fake.Calls.clear();
    Fake.PowerOffs.clear();
    DWORD error = 0;
    EXPECT_TRUE(ShutdownSystem(force, error));
    std::vector<std::string> expected = NT_STEPS;
    expected.push_back(force ? "ExitWindowsEx:12" : "ExitWindowsEx:8");
    EXPECT_EQ(Fake.Calls, expected) << "force " << force;
    ASSERT_EQ(Fake.PowerOffs.size(), 1u);
    // A planned reason: reason 0 would be logged as an unplanned power-off.
    EXPECT_TRUE(Fake.PowerOffs[0].Reason & SHTDN_REASON_FLAG_PLANNED);
  }
}

TEST_F(ShutdownTest, NinetyFiveFamilyShutsDownWithoutTokenWork) {
  Fake.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_FALSE(IsWinNT());
  DWORD error = 0;
  EXPECT_TRUE(ShutdownSystem(false, error));
  EXPECT_TRUE(ShutdownSystem(true, error));
  EXPECT_EQ(Fake.Calls, (std::vector<std::string>{"GetVersionExA", "GetVersionExA", "ExitWindowsEx:1", "GetVersionExA",
                                                  "ExitWindowsEx:5"}));
}

// AdjustTokenPrivileges succeeds even when the right is not granted: only the
// request's own result tells, and its reason comes with a refusal.
TEST_F(ShutdownTest, OnlyTheRequestItselfDecidesTheResult) {
  bool FakeSystem::*steps[] = {&FakeSystem::OpenTokenFails, &FakeSystem::LookupFails, &FakeSystem::AdjustFails,
                               &FakeSystem::ExitWindowsFails};
  for (bool FakeSystem::*step : steps) {
    InstallFakeSystem();
    Fake.*step = true;
    DWORD error = ERROR_SUCCESS;
    EXPECT_EQ(ShutdownSystem(false, error), step != &FakeSystem::ExitWindowsFails);
    ASSERT_EQ(Fake.PowerOffs.size(), 1u);
    EXPECT_EQ(Fake.PowerOffs[0].Flags, static_cast<UINT>(EWX_POWEROFF));
    EXPECT_EQ(error, step == &FakeSystem::ExitWindowsFails ? ERROR_PRIVILEGE_NOT_HELD : ERROR_SUCCESS);
  }
  // A token that did not open is not closed.
  InstallFakeSystem();
  Fake.OpenTokenFails = true;
  DWORD error = 0;
  ShutdownSystem(true, error);
  EXPECT_EQ(std::count(Fake.Calls.begin(), Fake.Calls.end(), "CloseHandle"), 0);
}

}  // namespace

using RefusedPowerOffTest = ProgramTest;

// One box over everything, with the system's reason (Wine ignores MB_TOPMOST;
// the program sets it itself). The program ends once it is closed (a quit
// before would have ended the box's loop at once); the ticks meanwhile ask
// nothing more, and no second box comes, not even for the same message again.
TEST_F(RefusedPowerOffTest, RefusalIsShownOnceThenTheProgramEnds) {
  Fake.ExitWindowsFails = true;
  Start("1");
  WCHAR caption[16] = {}, text[512] = {};
  bool topmost = false, warning = true;
  InsideScript script({[&] {
                         HWND box = MessageBoxWnd();
                         GetWindowTextW(box, caption, 16);
                         GetDlgItemTextW(box, MESSAGE_BOX_TEXT_ID, text, 512);
                         topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                         warning = IsWindowVisible(Timer->WarningWnd) != FALSE;
                         SendMessageA(MainWnd, WM_TIMER, TICK_TIMER_ID, 0);
                         PostMessageA(MainWnd, WM_POWEROFF_REFUSED, ERROR_ACCESS_DENIED, 0);
                       },
                       [] { SendMessageW(MessageBoxWnd(), WM_COMMAND, IDOK, 0); }},
                      30, [] { return MessageBoxWnd() != nullptr; });
  Tick();
  ASSERT_TRUE(script.Finished());
  const std::wstring start = L"Nie udało się wyłączyć komputera.\n\nPowód: ", shown = text;
  EXPECT_EQ(shown.substr(0, start.size()), start);
  EXPECT_GT(shown.size(), start.size() + 1) << "no reason follows";
  EXPECT_EQ(shown.find_first_of(L"\r\n", start.size()), std::wstring::npos) << "the reason's line break";
  EXPECT_STREQ(caption, L"Kwiet!");
  EXPECT_TRUE(topmost);
  EXPECT_FALSE(warning) << "the warning stands over the box";
  EXPECT_FALSE(script.ClosedLeftovers()) << "a second box";
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
  EXPECT_TRUE(QuitPosted());
}

// Windows is going down already: the end comes as asked, with no box.
TEST_F(RefusedPowerOffTest, AShutdownUnderWayIsNoRefusal) {
  Fake.ExitWindowsFails = true;
  Fake.ExitWindowsError = ERROR_SHUTDOWN_IN_PROGRESS;
  Start("1");
  InsideScript noBox({}, 30);
  Tick();
  EXPECT_FALSE(noBox.ClosedLeftovers()) << "a box";
  EXPECT_TRUE(QuitPosted());
}

// While the box is open the countdown has ended: a restarted shell brings no
// icon back, and the menu's commands start nothing.
TEST_F(RefusedPowerOffTest, WhileTheBoxIsOpenNothingComesBack) {
  Fake.ExitWindowsFails = true;
  Start("1");
  bool iconBack = true;
  InsideScript script({[&] {
                        SendMessageA(MainWnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
                        iconBack = Shell_NotifyIconA(NIM_MODIFY, &TrayIconData) != FALSE;
                        for (WPARAM command : {IDM_RESTART, IDM_PAUSE}) SendMessageA(MainWnd, WM_COMMAND, command, 0);
                        SendMessageW(MessageBoxWnd(), WM_COMMAND, IDOK, 0);
                      }},
                      30, [] { return MessageBoxWnd() != nullptr; });
  Tick();
  ASSERT_TRUE(script.Finished());
  EXPECT_FALSE(iconBack);
  EXPECT_EQ(Timer->Remaining, 0) << "restarted";
  EXPECT_TRUE(Timer->Running) << "paused";
  EXPECT_TRUE(QuitPosted());
}

// The main window shows the box only for the countdown's own end: the same
// message sent by another program while it counts shows nothing.
TEST_F(RefusedPowerOffTest, ARefusalSentFromOutsideShowsNothing) {
  Start("60");
  InsideScript noBox({}, 30);
  SendMessageA(MainWnd, WM_POWEROFF_REFUSED, ERROR_PRIVILEGE_NOT_HELD, 0);
  Pump(100);
  EXPECT_FALSE(noBox.ClosedLeftovers()) << "a box";
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData)) << "the tray icon is gone";
  EXPECT_TRUE(Pump());
}
