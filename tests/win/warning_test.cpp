// The warning dialog of the last 30 seconds, driven by the real countdown on
// the fake clock.
#include <string>
#include <vector>

#include "app/mainwnd.h"
#include "app/startup.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/timer.h"

namespace {

using WarningTest = ProgramTest;

std::wstring TextOf(HWND wnd) {
  WCHAR text[256];
  GetWindowTextW(wnd, text, 256);
  return text;
}

// The texts of the dialog's controls, in their order.
std::vector<std::wstring> ControlTexts(HWND dlg) {
  std::vector<std::wstring> texts;
  for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(c) == IDC_WARNING_ICON) continue;
    texts.push_back(TextOf(c));
  }
  return texts;
}

BOOL CALLBACK CountWarningDialog(HWND wnd, LPARAM count) {
  char cls[16];
  GetClassNameA(wnd, cls, sizeof cls);
  if (lstrcmpA(cls, "#32770") == 0 && TextOf(wnd) == L"Kwiet!") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Dialogs of this thread titled "Kwiet!", shown or hidden.
int WarningDialogs() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWarningDialog, reinterpret_cast<LPARAM>(&n));
  return n;
}

std::wstring Seconds(HWND dlg) { return TextOf(GetDlgItem(dlg, IDC_WARNING_SECONDS)); }

TEST_F(WarningTest, OpensAtThirtyTopmostInTheMiddleAndCountsDownInTheSameWindow) {
  Start("45");
  for (int i = 0; i < 14; ++i) Tick();  // 31
  EXPECT_EQ(Timer->WarningWnd, nullptr);
  Tick();  // 30
  HWND dlg = Timer->WarningWnd;
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(IsWindowVisible(dlg));
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), MainWnd);
  EXPECT_EQ(TextOf(dlg), L"Kwiet!");
  std::vector<std::wstring> expected = {L"Uwaga:", L"System zostanie zamkni\u0119ty za", L"30", L"sekund.", L"Anuluj"};
  EXPECT_EQ(ControlTexts(dlg), expected);
  // Wine does not make a DS_SYSMODAL dialog topmost; the dialog does it.
  EXPECT_NE(GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  RECT r;
  GetWindowRect(dlg, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  ASSERT_FALSE(Fake.Beeps.empty());
  EXPECT_EQ(Fake.Beeps.back().Frequency, 300u);

  for (int left = 29; left >= 1; --left) {
    Tick();
    ASSERT_EQ(Timer->WarningWnd, dlg);
    ASSERT_EQ(Seconds(dlg), std::to_wstring(left));
  }
  EXPECT_TRUE(Fake.PowerOffs.empty());
  Tick();
  EXPECT_EQ(Timer->WarningWnd, dlg);
  EXPECT_EQ(Seconds(dlg), L"0");
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

TEST_F(WarningTest, CloseBoxHidesItUntilTheNextSecondOpensANewOne) {
  Start("45");
  for (int i = 0; i < 25; ++i) Tick();  // 20
  HWND first = Timer->WarningWnd;
  ASSERT_EQ(Seconds(first), L"20");
  SendMessageA(first, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(first));
  // Closed ones are destroyed, so they do not pile up.
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(WarningDialogs(), 0);
  Tick();  // 19
  HWND second = Timer->WarningWnd;
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(IsWindowVisible(second));
  EXPECT_EQ(Seconds(second), L"19");
  EXPECT_EQ(WarningDialogs(), 1);
  EXPECT_NE(GetWindowLongA(second, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_FALSE(QuitPosted());
}

TEST_F(WarningTest, NeverOpensWithoutTheWarningSwitch) {
  Start("45");
  Timer->WarningSound = false;
  TickToEnd(100);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Timer->WarningWnd, nullptr);
  EXPECT_EQ(WarningDialogs(), 0);
}

TEST_F(WarningTest, AnulujEndsTheProgramWithoutPowerOffAndTheSettingsAreSaved) {
  Start("45");
  for (int i = 0; i < 20; ++i) Tick();  // 25
  HWND dlg = Timer->WarningWnd;
  ASSERT_NE(dlg, nullptr);
  Timer->ForceShutdown = true;
  // Esc and other commands leave it alone.
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(Pump());
  EXPECT_TRUE(IsWindowVisible(dlg));

  SendDlgItemMessageA(dlg, IDC_WARNING_CANCEL, BM_CLICK, 0, 0);
  EXPECT_FALSE(Pump()) << "the message loop ends";
  EXPECT_TRUE(Fake.PowerOffs.empty());
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData)) << "the tray icon is gone";
  RunExitSequence();
  DWORD value = 0;
  ASSERT_TRUE(ReadStoredDword("Force Shutdown", value));
  EXPECT_EQ(value, 1u);
  ASSERT_TRUE(ReadStoredDword("Last Time", value));
  EXPECT_EQ(value, 45u);
  EXPECT_TRUE(Fake.PowerOffs.empty());
}

TEST_F(WarningTest, CommandFromTheButtonEndsTheProgramToo) {
  Start("45");
  for (int i = 0; i < 15; ++i) Tick();
  SendMessageA(Timer->WarningWnd, WM_COMMAND, MAKEWPARAM(IDC_WARNING_CANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(Pump());
  EXPECT_TRUE(Fake.PowerOffs.empty());
}

TEST_F(WarningTest, CountdownStartedBelowZeroShowsZero) {
  Start("-5");
  Tick();
  ASSERT_NE(Timer->WarningWnd, nullptr);
  EXPECT_EQ(Seconds(Timer->WarningWnd), L"0");
}

}  // namespace
