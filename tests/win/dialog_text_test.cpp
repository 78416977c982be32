// Every static text of the four dialogs shows whole in the font the dialog
// really gets: no line wider than its control, no lines below its bottom,
// no text running into the next control on its line, no control reaching out
// of its dialog.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "base/geometry.h"
#include "base/scoped.h"
#include "res/resource.h"
#include "res/version.h"
#include "rig.h"
#include "timer/timer.h"

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

// Where a static draws a line `width` pixels wide, left to right.
std::pair<LONG, LONG> DrawnSpan(HWND c, const RECT& r, LONG width) {
  switch (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) {
    case SS_RIGHT:
      return {r.right - width, r.right};
    case SS_CENTER: {
      LONG left = r.left + (r.right - r.left - width) / 2;
      return {left, left + width};
    }
  }
  return {r.left, r.left + width};
}

// The control beside `c` on its line whose rectangle its text reaches into;
// null when none. A control that holds `c` whole is a backdrop, not a
// neighbour.
HWND RunsInto(HWND dlg, HWND c, const RECT& r, std::pair<LONG, LONG> span) {
  for (HWND other = GetWindow(dlg, GW_CHILD); other != nullptr; other = GetWindow(other, GW_HWNDNEXT)) {
    if (other == c) continue;
    RECT o = ChildRect(dlg, other);
    bool holds = o.left <= r.left && o.top <= r.top && o.right >= r.right && o.bottom >= r.bottom;
    LONG middle = (o.top + o.bottom) / 2;
    bool level = middle >= r.top && middle < r.bottom;
    if (!holds && level && o.left < span.second && o.right > span.first) return other;
  }
  return nullptr;
}

// What does not fit in a dialog as it was opened, one line per problem.
std::vector<std::string> TextsThatDoNotFit(HWND dlg, int dialogId) {
  std::vector<std::string> problems;
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
    LONG widest = 0;
    for (size_t start = 0; start <= text.size();) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      SIZE size;
      GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(end - start), &size);
      if (size.cx > client.right) {
        problems.push_back(where.str() + std::to_string(size.cx) + " px wide in " + std::to_string(client.right));
      }
      if (size.cx > widest) widest = size.cx;
      ++lines;
      start = end + 1;
    }
    if (lines * metrics.tmHeight > client.bottom) {
      problems.push_back(where.str() + std::to_string(lines) + " lines of " + std::to_string(metrics.tmHeight) +
                         " px in " + std::to_string(client.bottom));
    }
    SelectObject(dc, old);
    ReleaseDC(c, dc);

    RECT r = ChildRect(dlg, c);
    if (r.left < 0 || r.top < 0 || r.right > dialogClient.right || r.bottom > dialogClient.bottom) {
      problems.push_back(where.str() + "reaches out of the dialog");
    }
    if (HWND next = RunsInto(dlg, c, r, DrawnSpan(c, r, widest))) {
      problems.push_back(where.str() + "runs into control " + std::to_string(GetDlgCtrlID(next)));
    }
  }
  return problems;
}

// A dialog straight from its template, with what the program would fill in.
std::vector<std::string> TemplateTextsThatDoNotFit(int dialogId, void (*fill)(HWND)) {
  HWND dlg = CreateDialogParamA(HInstance, MAKEINTRESOURCEA(dialogId), nullptr, PlainDlgProc, 0);
  if (dlg == nullptr) return {"dialog " + std::to_string(dialogId) + " not created"};
  if (fill != nullptr) fill(dlg);
  std::vector<std::string> problems = TextsThatDoNotFit(dlg, dialogId);
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
  auto problems = TemplateTextsThatDoNotFit(
      IDD_ABOUT, [](HWND dlg) { SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, "Kwiet! v" KWIET_VERSION_SHORT); });
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(DialogTextTest, SetTimeTextsShowWhole) {
  auto problems = TemplateTextsThatDoNotFit(IDD_SETTIME, nullptr);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(DialogTextTest, DisplayTemplateHasNoTextToCut) {
  auto problems = TemplateTextsThatDoNotFit(IDD_DISPLAY, nullptr);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// The warning as the program opens it, its second line laid out for the
// font it got; the widest number it shows is 30.
TEST_F(DialogTextTest, WarningTextsShowWhole) {
  TTimer timer{};
  timer.ShowWarning(true);
  ASSERT_NE(timer.WarningWnd, nullptr);
  SetDlgItemInt(timer.WarningWnd, IDC_WARNING_SECONDS, 30, FALSE);
  auto problems = TextsThatDoNotFit(timer.WarningWnd, IDD_WARNING);
  timer.ShowWarning(false);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

// Opens the warning as the program does, its controls in a font `widthPercent`
// as wide as the dialog's own: a substitute for Tahoma that measures wider
// or narrower than the dialog units are made for. The font is set before the
// dialog's own WM_INITDIALOG, as the dialog's font would be.
class WarningInFont {
 public:
  explicit WarningInFont(int widthPercent) : widthPercent_(widthPercent) {
    Current = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, BeforeInit, nullptr, GetCurrentThreadId());
    timer_.ShowWarning(true);
    UnhookWindowsHookEx(hook_);
    Current = nullptr;
    if (Dlg() != nullptr) SetDlgItemInt(Dlg(), IDC_WARNING_SECONDS, 30, FALSE);
  }
  ~WarningInFont() {
    timer_.ShowWarning(false);
    if (font_ != nullptr) DeleteObject(font_);
  }
  HWND Dlg() const { return timer_.WarningWnd; }
  HFONT Font() const { return font_; }

 private:
  static LRESULT CALLBACK BeforeInit(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_INITDIALOG && Current != nullptr) Current->SetFont(msg->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void SetFont(HWND dlg) {
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
    LOGFONTW font;
    GetObjectW(dialogFont, sizeof font, &font);
    TEXTMETRICW metrics;
    {
      ScopedWindowDC dc(dlg);
      ScopedSelect select(dc, dialogFont);
      GetTextMetricsW(dc, &metrics);
    }
    font.lfWidth = metrics.tmAveCharWidth * widthPercent_ / 100;
    font_ = CreateFontIndirectW(&font);
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
  }

  static WarningInFont* Current;
  int widthPercent_;
  HHOOK hook_ = nullptr;
  HFONT font_ = nullptr;
  TTimer timer_{};
};

WarningInFont* WarningInFont::Current = nullptr;

TEST_F(DialogTextTest, WarningInAFontTwiceAsWideStillShowsItsLineWholeInside) {
  HWND plain = CreateDialogParamA(HInstance, MAKEINTRESOURCEA(IDD_WARNING), nullptr, PlainDlgProc, 0);
  ASSERT_NE(plain, nullptr);
  WarningInFont wide(200);
  HWND dlg = wide.Dlg();
  ASSERT_NE(dlg, nullptr);
  ASSERT_EQ(reinterpret_cast<HFONT>(SendDlgItemMessageW(dlg, IDC_WARNING_TEXT, WM_GETFONT, 0, 0)), wide.Font());

  auto problems = TextsThatDoNotFit(dlg, IDD_WARNING);
  EXPECT_TRUE(problems.empty()) << Joined(problems);

  // Middles compared doubled, in half pixels: still in the middle of the
  // screen, the button still as centred under the text, the icon and
  // "Uwaga:" where they were.
  RECT window;
  GetWindowRect(dlg, &window);
  EXPECT_NEAR(window.left + window.right, GetSystemMetrics(SM_CXSCREEN), 2);
  EXPECT_NEAR(window.top + window.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
  RECT client, plainClient;
  GetClientRect(dlg, &client);
  GetClientRect(plain, &plainClient);
  RECT button = ChildRect(dlg, IDC_WARNING_CANCEL), plainButton = ChildRect(plain, IDC_WARNING_CANCEL);
  EXPECT_NEAR(button.left + button.right - client.right, plainButton.left + plainButton.right - plainClient.right, 1);
  EXPECT_EQ(button.top, plainButton.top);
  EXPECT_EQ(button.right - button.left, plainButton.right - plainButton.left);
  RECT icon = ChildRect(dlg, IDC_WARNING_ICON), plainIcon = ChildRect(plain, IDC_WARNING_ICON);
  EXPECT_TRUE(EqualRect(&icon, &plainIcon));
  RECT uwaga = ChildRect(dlg, GetWindow(GetDlgItem(dlg, IDC_WARNING_ICON), GW_HWNDNEXT));
  RECT plainUwaga = ChildRect(plain, GetWindow(GetDlgItem(plain, IDC_WARNING_ICON), GW_HWNDNEXT));
  EXPECT_TRUE(EqualRect(&uwaga, &plainUwaga));
  // The number keeps its gap before "sekund.".
  auto gap = [](HWND d) {
    HWND seconds = GetDlgItem(d, IDC_WARNING_SECONDS);
    return ChildRect(d, GetWindow(seconds, GW_HWNDNEXT)).left - ChildRect(d, seconds).right;
  };
  EXPECT_EQ(gap(dlg), gap(plain));
  DestroyWindow(plain);
}

// Where the line fits, every control stays where the template puts it.
TEST_F(DialogTextTest, WarningInANarrowFontKeepsTheTemplatesLayout) {
  HWND plain = CreateDialogParamA(HInstance, MAKEINTRESOURCEA(IDD_WARNING), nullptr, PlainDlgProc, 0);
  ASSERT_NE(plain, nullptr);
  WarningInFont narrow(60);
  ASSERT_NE(narrow.Dlg(), nullptr);
  RECT window, plainWindow;
  GetWindowRect(narrow.Dlg(), &window);
  GetWindowRect(plain, &plainWindow);
  EXPECT_TRUE(EqualRect(&window, &plainWindow));
  HWND c = GetWindow(narrow.Dlg(), GW_CHILD), p = GetWindow(plain, GW_CHILD);
  for (; c != nullptr && p != nullptr; c = GetWindow(c, GW_HWNDNEXT), p = GetWindow(p, GW_HWNDNEXT)) {
    RECT r = ChildRect(narrow.Dlg(), c), expected = ChildRect(plain, p);
    EXPECT_TRUE(EqualRect(&r, &expected)) << "control " << GetDlgCtrlID(c);
  }
  DestroyWindow(plain);
}

}  // namespace
