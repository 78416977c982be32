// The countdown display window: where it sits, what it shows on screen, and
// that its pictures and drawing objects go with it.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/geometry.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

using DisplayTest = ProgramTest;

// Pixels of the display window, 32 bits each, top-down.
class Capture {
 public:
  // The window as it is on its surface, read back after a repaint of the
  // whole window, or only of what the program asked to repaint.
  explicit Capture(HWND wnd, bool whole = true) {
    RedrawWindow(wnd, nullptr, nullptr, (whole ? RDW_INVALIDATE | RDW_ERASE : 0) | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetWindowRect(wnd, &r);
    Read(r.right - r.left, r.bottom - r.top, [wnd, &r](HDC mem) {
      HDC src = GetWindowDC(wnd);
      BitBlt(mem, 0, 0, r.right - r.left, r.bottom - r.top, src, 0, 0, SRCCOPY);
      ReleaseDC(wnd, src);
    });
  }
  // What `paint` draws on black, in a picture of the given size.
  Capture(int width, int height, const std::function<void(HDC)>& paint) { Read(width, height, paint); }
  COLORREF At(int x, int y) const {
    DWORD p = pixels_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool operator==(const Capture& other) const { return pixels_ == other.pixels_; }
  int DifferencesIn(const Capture& other, const RECT& area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) n += At(x, y) != other.At(x, y);
    }
    return n;
  }

 private:
  void Read(int width, int height, const std::function<void(HDC)>& paint) {
    width_ = width;
    height_ = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    paint(mem);
    GdiFlush();
    auto* px = static_cast<const DWORD*>(bits);
    pixels_.assign(px, px + width_ * height_);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
  }

  int width_ = 0, height_ = 0;
  std::vector<DWORD> pixels_;
};

bool IsWhite(COLORREF c) { return GetRValue(c) >= 0xF0 && GetGValue(c) >= 0xF0 && GetBValue(c) >= 0xF0; }
bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// What is drawn inside the text control, in window coordinates.
struct TextInk {
  int WhitePixels = 0;
  int ColouredPixels = 0;  // neither black, white nor a grey between them
  RECT Box = {1000, 1000, -1, -1};
};

constexpr RECT TEXT_CONTROL = {19, 4, 70, 16};
// The text's middle, in window coordinates: x 27 and y 5 of the text
// control, a little right of and above its middle (25.5, 6).
constexpr LONG TEXT_MIDDLE_X = TEXT_CONTROL.left + 27;
constexpr LONG TEXT_MIDDLE_Y = TEXT_CONTROL.top + 5;

TextInk InkOf(const Capture& shot, const RECT& area = TEXT_CONTROL) {
  TextInk ink;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      COLORREF c = shot.At(x, y);
      if (!IsGrey(c)) ++ink.ColouredPixels;
      if (c == RGB(0, 0, 0)) continue;
      if (IsWhite(c)) ++ink.WhitePixels;
      ink.Box.left = std::min<LONG>(ink.Box.left, x);
      ink.Box.top = std::min<LONG>(ink.Box.top, y);
      ink.Box.right = std::max<LONG>(ink.Box.right, x + 1);
      ink.Box.bottom = std::max<LONG>(ink.Box.bottom, y + 1);
    }
  }
  return ink;
}

// The ink of `text` centred on the text's middle, in half pixels. Its cell,
// as wide as the text advances and as high as the font, is centred there;
// where the ink lies in its cell is read from the text drawn by itself in
// the control's font, so Wine 8's substitute for Tahoma, Wine 10's Tahoma
// and Windows' give each their own.
RECT ExpectedInkInHalfPixels(HWND wnd, const wchar_t* text) {
  auto font = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(wnd, IDC_DISPLAY_TEXT, WM_GETFONT, 0, 0));
  constexpr int AT = 10, SIDE = 100;  // room for any overhang
  SIZE cell = {};
  TEXTMETRICW metrics = {};
  TextInk ink = InkOf(Capture(SIDE, SIDE,
                              [&](HDC dc) {
                                HGDIOBJ old = SelectObject(dc, font);
                                SetBkColor(dc, RGB(0, 0, 0));
                                SetTextColor(dc, RGB(255, 255, 255));
                                TextOutW(dc, AT, AT, text, lstrlenW(text));
                                GetTextExtentPoint32W(dc, text, lstrlenW(text), &cell);
                                GetTextMetricsW(dc, &metrics);
                                SelectObject(dc, old);
                              }),
                      {0, 0, SIDE, SIDE});
  LONG left = 2 * TEXT_MIDDLE_X - cell.cx - 2 * AT, top = 2 * TEXT_MIDDLE_Y - metrics.tmHeight - 2 * AT;
  return {left + 2 * ink.Box.left, top + 2 * ink.Box.top, left + 2 * ink.Box.right, top + 2 * ink.Box.bottom};
}

// Centring a cell an odd number of pixels wide or high on a whole pixel
// leaves it half a pixel to one side.
void ExpectCentred(const TextInk& ink, HWND wnd, const wchar_t* text) {
  RECT expected = ExpectedInkInHalfPixels(wnd, text);
  EXPECT_NEAR(2 * ink.Box.left, expected.left, 1);
  EXPECT_NEAR(2 * ink.Box.top, expected.top, 1);
  EXPECT_NEAR(2 * ink.Box.right, expected.right, 1);
  EXPECT_NEAR(2 * ink.Box.bottom, expected.bottom, 1);
}

void ExpectRect(const RECT& r, int x, int y, int width, int height) {
  EXPECT_EQ(r.left, x);
  EXPECT_EQ(r.top, y);
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
}

TEST_F(DisplayTest, SitsBorderlessInTheTopRightCornerOfTheScreen) {
  Start("45");
  HWND wnd = Timer->DisplayWnd;
  ASSERT_NE(wnd, nullptr);
  EXPECT_TRUE(IsWindowVisible(wnd));
  EXPECT_EQ(GetWindow(wnd, GW_OWNER), MainWnd);
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the test display is 1024 x 768";
  RECT r;
  GetWindowRect(wnd, &r);
  ExpectRect(r, 949, 0, 75, 20);
  LONG style = GetWindowLongA(wnd, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_THICKFRAME), 0);
  EXPECT_EQ(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  ExpectRect(ChildRect(wnd, IDC_DISPLAY_BACK), 0, 0, 75, 20);
  ExpectRect(ChildRect(wnd, IDC_DISPLAY_CLOCK), 6, 4, 12, 12);
  ExpectRect(ChildRect(wnd, IDC_DISPLAY_TEXT), 19, 4, 51, 12);
  // The grey clock until the first blink, then the picture for the time left.
  for (HBITMAP clock : ClockBitmaps) EXPECT_EQ(GetObjectType(clock), static_cast<DWORD>(OBJ_BITMAP));
  auto image = [&] { return SendDlgItemMessageA(wnd, IDC_DISPLAY_CLOCK, STM_GETIMAGE, IMAGE_BITMAP, 0); };
  EXPECT_EQ(image(), reinterpret_cast<LRESULT>(ClockBitmaps[0]));
  SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
  EXPECT_EQ(image(), reinterpret_cast<LRESULT>(ClockBitmaps[2]));
}

TEST_F(DisplayTest, ShowsTheTimeWhiteOnBlackAndPauzaWhilePaused) {
  Start("45");
  HWND wnd = Timer->DisplayWnd;
  Capture running(wnd);
  TextInk ink = InkOf(running);
  EXPECT_GT(ink.WhitePixels, 30);
  EXPECT_EQ(ink.ColouredPixels, 0) << "only white text on black";
  {
    SCOPED_TRACE("00:00:45 centred on the text's middle");
    ExpectCentred(ink, wnd, L"00:00:45");
  }
  // Black on either side of the text, inside the control.
  EXPECT_EQ(running.At(TEXT_CONTROL.left + 1, 9), RGB(0, 0, 0));
  EXPECT_EQ(running.At(TEXT_CONTROL.right - 1, 9), RGB(0, 0, 0));
  EXPECT_GT(ink.Box.left, TEXT_CONTROL.left + 1) << "00:00:45 shows whole";
  EXPECT_LT(ink.Box.right, TEXT_CONTROL.right) << "00:00:45 shows whole";

  Tick();
  Capture nextSecond(wnd);
  EXPECT_FALSE(nextSecond == running) << "00:00:44 reads differently";

  Timer->SetRunning(false);
  Capture paused(wnd);
  TextInk pauseInk = InkOf(paused);
  EXPECT_GT(pauseInk.WhitePixels, 20);
  EXPECT_EQ(pauseInk.ColouredPixels, 0);
  EXPECT_FALSE(paused == nextSecond) << "Pauza instead of the time";
  EXPECT_LT(pauseInk.Box.right - pauseInk.Box.left, ink.Box.right - ink.Box.left) << "Pauza is the shorter text";
  {
    SCOPED_TRACE("Pauza centred on the text's middle");
    ExpectCentred(pauseInk, wnd, L"Pauza");
  }

  Timer->SetRunning(true);
  Capture resumed(wnd);
  EXPECT_TRUE(resumed == nextSecond) << "the time again, as before the pause";
}

// The box of a refused power-off stands over the corner window, which reads
// the end, as the tooltip does, not the second before it.
TEST_F(DisplayTest, ReadsTheEndUnderTheBoxOfARefusedPowerOff) {
  Fake.ExitWindowsFails = true;
  Start("2");
  Tick();
  HWND wnd = Timer->DisplayWnd;
  bool asAsked = false, asAtTheEnd = false;
  const Capture lastSecond(wnd);
  InsideScript script({[&] {
                        const Capture shown(wnd, false), redrawn(wnd);
                        asAsked = shown.DifferencesIn(redrawn, TEXT_CONTROL) == 0;
                        asAtTheEnd = shown.DifferencesIn(lastSecond, TEXT_CONTROL) != 0;
                        SendMessageW(MessageBoxWnd(), WM_COMMAND, IDOK, 0);
                      }},
                      30, [] { return MessageBoxWnd() != nullptr; });
  Tick();
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(Tooltip(), "Kwiet! [00:00:00]");
  EXPECT_TRUE(asAsked) << "the corner window was not asked to repaint";
  EXPECT_TRUE(asAtTheEnd) << "the corner window reads 00:00:01";
}

// Each second only the text control is repainted, without an erase: a
// shorter text must leave nothing of the longer one before it.
TEST_F(DisplayTest, AShorterTextReadsAsIfDrawnAnew) {
  Start("360001");
  Tick();
  HWND wnd = Timer->DisplayWnd;
  auto expectAsDrawnAnew = [wnd](const char* what) {
    Pump();  // the repaint the program asked for, served by the loop
    const Capture shown(wnd, false), redrawn(wnd);
    EXPECT_EQ(shown.DifferencesIn(redrawn, TEXT_CONTROL), 0) << what << ": pixels differ from the control drawn anew";
  };
  Tick();
  expectAsDrawnAnew("99:59:59 after 100:00:00");
  SendMessageA(MainWnd, WM_COMMAND, IDM_PAUSE, 0);
  expectAsDrawnAnew("Pauza after 99:59:59");
}

TEST_F(DisplayTest, SwitchingOffAndOnMakesANewWindowAndFreesEverything) {
  Start("45");
  Pump();
  int before = CountGdiObjects();
  ASSERT_GT(before, 0);
  for (int round = 0; round < 10; ++round) {
    HWND old = Timer->DisplayWnd;
    HBITMAP oldClocks[4];
    std::copy(ClockBitmaps, ClockBitmaps + 4, oldClocks);
    Timer->ShowDisplay(false);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(Timer->DisplayWnd, nullptr);
    EXPECT_FALSE(Timer->DisplayVisible);
    for (HBITMAP clock : oldClocks) EXPECT_EQ(GetObjectType(clock), 0u);
    // Ticks and blinks without a window reach nothing.
    Tick();
    SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
    Timer->ShowDisplay(true);
    ASSERT_NE(Timer->DisplayWnd, nullptr);
    EXPECT_NE(Timer->DisplayWnd, old);
    EXPECT_TRUE(IsWindowVisible(Timer->DisplayWnd));
    EXPECT_TRUE(Timer->DisplayVisible);
    for (HBITMAP clock : ClockBitmaps) EXPECT_EQ(GetObjectType(clock), static_cast<DWORD>(OBJ_BITMAP));
    SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
    UpdateWindow(Timer->DisplayWnd);
  }
  // The pictures the window's controls load themselves go with it too.
  EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(DisplayTest, SwitchingOnWhileOpenLeavesOneWindow) {
  Start("45");
  HWND old = Timer->DisplayWnd;
  int before = CountGdiObjects();
  Timer->ShowDisplay(true);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindowVisible(Timer->DisplayWnd));
  EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(DisplayTest, StartsClosedWhenTheSettingSaysSo) {
  DWORD off = 0;
  WriteStoredValue("Show Timer Display", REG_DWORD, &off, sizeof off);
  Start("45");
  EXPECT_EQ(Timer->DisplayWnd, nullptr);
  EXPECT_FALSE(Timer->DisplayVisible);
  Timer->ShowDisplay(false);
  EXPECT_EQ(Timer->DisplayWnd, nullptr);
  Timer->ShowDisplay(true);
  EXPECT_TRUE(IsWindowVisible(Timer->DisplayWnd));
}

TEST_F(DisplayTest, RepaintingTwiceASecondPilesUpNoGdiObjects) {
  Start("1000");
  HWND wnd = Timer->DisplayWnd;
  SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
  UpdateWindow(wnd);
  int before = CountGdiObjects();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 200; ++i) {
    Tick();
    SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
    UpdateWindow(wnd);
    SendMessageA(MainWnd, WM_TIMER, BLINK_TIMER_ID, 0);
    UpdateWindow(wnd);
  }
  EXPECT_EQ(Timer->Remaining, 800);
  EXPECT_EQ(CountGdiObjects(), before);
}

}  // namespace
