// Polish texts as the user sees them, whatever the system's ANSI code page.
// The test command runs these, with the other tests that read Polish texts,
// once more under an English (1252) and a Polish (1250) locale.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/scoped.h"
#include "app/startup.h"
#include "dialogs/header.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

// A locale that did not take must not pass silently, and nothing may switch
// the process to another code page behind the test's back.
TEST(CodePage, RunsUnderTheLocaleAskedFor) {
  const char* expected = std::getenv("KWIET_EXPECT_ANSI_CP");
  if (expected == nullptr) GTEST_SKIP() << "run by the test command with a chosen locale";
  char cp[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, cp, sizeof cp);
  EXPECT_STREQ(cp, expected);
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

using CodePageTest = ProgramTest;

std::wstring ControlText(HWND dlg, int id) {
  WCHAR text[128] = {};
  GetDlgItemTextW(dlg, id, text, 128);
  return text;
}

// The pixels of the header subtitle as the program paints it, and of the
// Polish text drawn by hand in the same font.
struct SubtitlePixels {
  std::vector<COLORREF> Ours, Expected, Latin;
};

std::vector<COLORREF> Paint(HWND control, void (*paint)(HWND control, HDC dc, const RECT& r)) {
  RECT r;
  GetClientRect(control, &r);
  ScopedWindowDC screen(nullptr);
  ScopedMemoryDC dc(screen);
  ScopedBitmap bitmap(CreateCompatibleBitmap(screen, r.right, r.bottom));
  ScopedSelect selectBitmap(dc, bitmap);
  paint(control, dc, r);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

void DrawByHand(HWND control, HDC dc, const RECT& r, const WCHAR* text) {
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ScopedSelect font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT line = r;
  DrawTextW(dc, text, -1, &line, DT_SINGLELINE | DT_VCENTER);
}

SubtitlePixels LookAtSubtitle(HWND dlg) {
  HWND control = GetDlgItem(dlg, IDC_HEADER_SUBTITLE);
  SubtitlePixels p;
  p.Ours = Paint(control, [](HWND c, HDC dc, const RECT& r) {
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_STATIC;
    draw.CtlID = IDC_HEADER_SUBTITLE;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = c;
    draw.hDC = dc;
    draw.rcItem = r;
    DrawHeaderItem(IDC_HEADER_SUBTITLE, &draw);
  });
  p.Expected = Paint(
      control, [](HWND c, HDC dc, const RECT& r) { DrawByHand(c, dc, r, L"Określ, kiedy chcesz zamknąć system"); });
  p.Latin = Paint(control,
                  [](HWND c, HDC dc, const RECT& r) { DrawByHand(c, dc, r, L"Okresl, kiedy chcesz zamknac system"); });
  return p;
}

// The start-up dialog: its template texts and the subtitle its header paints.
TEST_F(CodePageTest, SetTimeDialogKeepsItsLetters) {
  std::wstring period, clock;
  SubtitlePixels subtitle;
  InsideScript script({[&] {
                        HWND dlg = SetTimeWnd();
                        ASSERT_NE(dlg, nullptr);
                        period = ControlText(dlg, IDC_MODE_PERIOD);
                        clock = ControlText(dlg, IDC_MODE_CLOCK);
                        subtitle = LookAtSubtitle(dlg);
                        SendDlgItemMessageW(dlg, IDC_SETTIME_CANCEL, BM_CLICK, 0, 0);
                      }},
                      30, [] { return SetTimeWnd() != nullptr; });
  EXPECT_EQ(StartProgram("kwiet.exe"), StartResult::EndNow);
  EXPECT_EQ(period, L"Po upływie określonego czasu:");
  EXPECT_EQ(clock, L"O określonej godzinie:");
  ASSERT_FALSE(subtitle.Ours.empty());
  EXPECT_TRUE(subtitle.Ours == subtitle.Expected) << "the painted subtitle differs from the Polish text";
  EXPECT_FALSE(subtitle.Latin == subtitle.Expected) << "the comparison cannot tell letters apart";
}

}  // namespace
