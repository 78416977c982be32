// Every static text of the four dialogs shows whole in the font the dialog
// really gets: no line wider than its control, no lines below its bottom,
// no control reaching out of its dialog.
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "res/resource.h"
#include "res/version.h"
#include "rig.h"

namespace {

INT_PTR CALLBACK PlainDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool IsTextStatic(HWND c) {
  char cls[16];
  GetClassNameA(c, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0) return false;
  switch (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      return true;
  }
  return false;
}

// The text as drawn: "&&" shows "&", a single "&" marks the next letter.
std::wstring ShownText(HWND c) {
  WCHAR raw[512];
  GetWindowTextW(c, raw, 512);
  if (GetWindowLongA(c, GWL_STYLE) & SS_NOPREFIX) return raw;
  std::wstring shown;
  for (const WCHAR* p = raw; *p != 0; ++p) {
    if (*p == L'&' && p[1] != 0) ++p;
    shown += *p;
  }
  return shown;
}

std::string Narrow(const std::wstring& text) {
  char utf8[1024];
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

// What does not fit, one line per problem.
std::vector<std::string> TextsThatDoNotFit(int dialogId, void (*fill)(HWND)) {
  std::vector<std::string> problems;
  HWND dlg = CreateDialogParamA(HInstance, MAKEINTRESOURCEA(dialogId), nullptr, PlainDlgProc, 0);
  if (dlg == nullptr) return {"dialog " + std::to_string(dialogId) + " not created"};
  if (fill != nullptr) fill(dlg);
  RECT dialogClient;
  GetClientRect(dlg, &dialogClient);
  auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
  for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsTextStatic(c)) continue;
    std::wstring text = ShownText(c);
    if (text.empty()) continue;
    std::ostringstream where;
    where << "dialog " << dialogId << ", control " << GetDlgCtrlID(c) << " \"" << Narrow(text) << "\": ";

    auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
    if (font == nullptr) font = dialogFont;
    RECT client;
    GetClientRect(c, &client);
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    int lines = 0;
    for (size_t start = 0; start <= text.size();) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      SIZE size;
      GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(end - start), &size);
      if (size.cx > client.right) {
        problems.push_back(where.str() + std::to_string(size.cx) + " px wide in " + std::to_string(client.right));
      }
      ++lines;
      start = end + 1;
    }
    if (lines * metrics.tmHeight > client.bottom) {
      problems.push_back(where.str() + std::to_string(lines) + " lines of " + std::to_string(metrics.tmHeight) +
                         " px in " + std::to_string(client.bottom));
    }
    SelectObject(dc, old);
    ReleaseDC(c, dc);

    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    if (r.left < 0 || r.top < 0 || r.right > dialogClient.right || r.bottom > dialogClient.bottom) {
      problems.push_back(where.str() + "reaches out of the dialog");
    }
  }
  DestroyWindow(dlg);
  return problems;
}

class DialogTextTest : public ::testing::Test {
 protected:
  void SetUp() override { HInstance = GetModuleHandleA(nullptr); }
};

std::string Joined(const std::vector<std::string>& problems) {
  std::string all;
  for (const std::string& p : problems) all += "\n  " + p;
  return all;
}

TEST_F(DialogTextTest, AboutTextsShowWhole) {
  auto problems = TextsThatDoNotFit(
      IDD_ABOUT, [](HWND dlg) { SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, "Kwiet! v" KWIET_VERSION_SHORT); });
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(DialogTextTest, SetTimeTextsShowWhole) {
  auto problems = TextsThatDoNotFit(IDD_SETTIME, nullptr);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(DialogTextTest, DisplayTemplateHasNoTextToCut) {
  auto problems = TextsThatDoNotFit(IDD_DISPLAY, nullptr);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// The widest number the warning shows is 30.
TEST_F(DialogTextTest, WarningTextsShowWhole) {
  auto problems = TextsThatDoNotFit(IDD_WARNING, [](HWND dlg) { SetDlgItemInt(dlg, IDC_WARNING_SECONDS, 30, FALSE); });
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

}  // namespace
