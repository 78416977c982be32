// Polish texts as the user sees them, whatever the system's ANSI code page.
// The test command runs these once more under an English (1252) and a Polish
// (1250) locale.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/paint.h"
#include "app/scoped.h"
#include "app/startup.h"
#include "res/resource.h"
#include "rig.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

std::wstring FromAcp(const char* text) {
  wchar_t wide[256];
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 256);
  return n > 0 ? std::wstring(wide, n - 1) : std::wstring();
}

// A locale that did not take must not pass silently.
TEST(CodePage, RunsUnderTheLocaleAskedFor) {
  const char* expected = std::getenv("KWIET_EXPECT_ANSI_CP");
  if (expected == nullptr) GTEST_SKIP() << "run by the test command with a chosen locale";
  char cp[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, cp, sizeof cp);
  EXPECT_STREQ(cp, expected);
  // The manifest switches the process to UTF-8 whatever the locale's code page.
  EXPECT_EQ(GetACP(), 65001u);
}

TEST(CodePage, StringsAndMenuTextsKeepTheirLetters) {
  char text[128];
  ASSERT_GT(LoadStringA(Module(), IDS_WARNING_SOUND, text, sizeof text), 0);
  EXPECT_EQ(FromAcp(text), L"Dźwięk ostrzeżenia");
  HMENU menu = CreatePopupMenu();
  std::string item = std::string(" ") + text;
  AppendMenuA(menu, MF_STRING, IDM_WARNING_SOUND, item.c_str());
  wchar_t read[128] = {};
  GetMenuStringW(menu, IDM_WARNING_SOUND, read, 128, MF_BYCOMMAND);
  EXPECT_STREQ(read, L" Dźwięk ostrzeżenia");
  DestroyMenu(menu);
}

INT_PTR CALLBACK QuietDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring ControlText(HWND dlg, int id) {
  wchar_t text[128] = {};
  GetDlgItemTextW(dlg, id, text, 128);
  return text;
}

TEST(CodePage, DialogTextsKeepTheirLetters) {
  HWND setTime = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_SETTIME), nullptr, QuietDlgProc, 0);
  ASSERT_NE(setTime, nullptr);
  EXPECT_EQ(ControlText(setTime, IDC_MODE_PERIOD), L"Po upływie określonego czasu:");
  EXPECT_EQ(ControlText(setTime, IDC_MODE_CLOCK), L"O określonej godzinie:");
  // Text set through the ANSI entry points keeps its letters too.
  char title[64];
  LoadStringA(Module(), IDS_SHOW_TIME, title, sizeof title);
  SetDlgItemTextA(setTime, IDC_MODE_CLOCK, title);
  EXPECT_EQ(ControlText(setTime, IDC_MODE_CLOCK), L"Pokaż czas");
  DestroyWindow(setTime);

  HWND warning = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_WARNING), nullptr, QuietDlgProc, 0);
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(ControlText(warning, IDC_WARNING_TEXT), L"System zostanie zamknięty za");
  DestroyWindow(warning);
}

// The pixels of a text drawn in Tahoma into a small white bitmap.
std::vector<COLORREF> Painted(void (*paint)(HDC, RECT*)) {
  ScopedWindowDC screen(nullptr);
  ScopedMemoryDC dc(screen);
  ScopedBitmap bitmap(CreateCompatibleBitmap(screen, 260, 16));
  ScopedSelect selectBitmap(dc, bitmap);
  ScopedFont font(CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  ScopedSelect selectFont(dc, font);
  RECT r = {0, 0, 260, 16};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  paint(dc, &r);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 260; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

TEST(CodePage, PaintedTextShowsThePolishLetters) {
  HInstance = Module();
  auto expected = Painted([](HDC dc, RECT* r) {
    DrawTextW(dc, L"Określ, kiedy chcesz zamknąć system", -1, r, DT_SINGLELINE | DT_VCENTER);
  });
  auto ours = Painted([](HDC dc, RECT* r) {
    DrawAnsiText(dc, ResourceText(IDS_HEADER_SUBTITLE).c_str(), r, DT_SINGLELINE | DT_VCENTER);
  });
  auto latin = Painted([](HDC dc, RECT* r) {
    DrawTextW(dc, L"Okreslë, kiedy chcesz zamknac system", -1, r, DT_SINGLELINE | DT_VCENTER);
  });
  EXPECT_TRUE(ours == expected) << "the painted subtitle differs from the Polish text";
  EXPECT_FALSE(latin == expected) << "the comparison cannot tell letters apart";
}

}  // namespace
