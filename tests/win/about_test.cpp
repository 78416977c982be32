// The About box, opened modally as the tray menu opens it and driven from
// inside its own modal loop.
#include "dialogs/about.h"

#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/uitext.h"
#include "res/resource.h"
#include "res/version.h"
#include "rig.h"
#include "timer/timer.h"

namespace {

using AboutTest = ProgramTest;
using Step = std::function<void(HWND)>;

// Runs the steps one by one, 50 ms apart, on the open dialog: a CBT hook
// finds the dialog when it is activated, a thread timer fires inside the
// dialog's modal loop. A box still open after the last step is ended with
// -2 by a watchdog, so a test cannot hang.
class AboutDriver {
 public:
  explicit AboutDriver(std::vector<Step> steps) : steps_(std::move(steps)) {}

  INT_PTR Run() {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, 50, OnTimer);
    INT_PTR result = RunDialog(IDD_ABOUT, MainWnd, AboutDlgProc);
    KillTimer(nullptr, timer_);
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
    return result;
  }
  size_t StepsRun() const { return next_; }
  HWND Dialog() const { return dlg_; }

 private:
  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && current_->dlg_ == nullptr) {
      char cls[16];
      GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls);
      if (lstrcmpA(cls, "#32770") == 0) current_->dlg_ = reinterpret_cast<HWND>(wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    AboutDriver* self = current_;
    if (self == nullptr || self->dlg_ == nullptr) return;
    if (self->next_ < self->steps_.size()) {
      self->steps_[self->next_++](self->dlg_);
    } else if (++self->idle_ > 10) {
      EndDialog(self->dlg_, -2);
    }
  }

  static AboutDriver* current_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int idle_ = 0;
  HWND dlg_ = nullptr;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
};

AboutDriver* AboutDriver::current_ = nullptr;

std::wstring TextOf(HWND wnd) {
  WCHAR text[256];
  GetWindowTextW(wnd, text, 256);
  return text;
}

// Keys go through the dialog's own loop, as typed keys would.
void PostKey(HWND dlg, UINT msg, WPARAM key, LPARAM flags = 0) {
  HWND focus = GetFocus();
  PostMessageA(focus != nullptr ? focus : dlg, msg, key, flags);
}

TEST_F(AboutTest, ShowsVersionIconAndCreditsWithTheFocusOnOk) {
  Start("1000");
  std::wstring version, title;
  HWND focus = nullptr, ok = nullptr;
  bool icon = false;
  std::vector<std::wstring> statics;
  AboutDriver about({[&](HWND dlg) {
                       version = TextOf(GetDlgItem(dlg, IDC_ABOUT_VERSION));
                       title = TextOf(dlg);
                       focus = GetFocus();
                       ok = GetDlgItem(dlg, IDOK);
                       for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                         if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                           icon = SendMessageA(c, STM_GETICON, 0, 0) != 0;
                         } else if (GetDlgCtrlID(c) == -1 || GetDlgCtrlID(c) == 0xFFFF) {
                           statics.push_back(TextOf(c));
                         }
                       }
                     },
                     [](HWND dlg) { SendDlgItemMessageA(dlg, IDOK, BM_CLICK, 0, 0); }});
  EXPECT_EQ(about.Run(), 0);
  EXPECT_EQ(about.StepsRun(), 2u);
  EXPECT_EQ(version, L"Kwiet! v" KWIET_VERSION_SHORT);
  EXPECT_EQ(title, L"About Kwiet!");
  EXPECT_EQ(focus, ok);
  EXPECT_TRUE(icon);
  ASSERT_EQ(statics.size(), 2u);
  EXPECT_NE(statics[0].find(L'\n'), std::wstring::npos) << "two lines of credits";
  EXPECT_FALSE(statics[1].empty());
  EXPECT_FALSE(IsWindow(about.Dialog()));
}

TEST_F(AboutTest, EnterAltOAndTheCloseBoxEachCloseIt) {
  Start("1000");
  std::vector<Step> closers = {
      [](HWND dlg) { PostKey(dlg, WM_KEYDOWN, VK_RETURN); },
      [](HWND dlg) { PostKey(dlg, WM_SYSCHAR, 'o', 1 << 29); },  // Alt held
      [](HWND dlg) { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (size_t i = 0; i < closers.size(); ++i) {
    SCOPED_TRACE(i);
    AboutDriver about({closers[i]});
    EXPECT_EQ(about.Run(), 0);
    EXPECT_EQ(about.StepsRun(), 1u);
  }
}

TEST_F(AboutTest, EscLeavesItOpenWhileTheCountdownGoesOn) {
  Start("1000");
  bool openAfterEsc = false;
  AboutDriver about({
      [](HWND dlg) { PostKey(dlg, WM_KEYDOWN, VK_ESCAPE); },
      [](HWND dlg) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); },
      [&](HWND dlg) {
        openAfterEsc = IsWindowVisible(dlg);
        // A tick waiting in the queue is dispatched by the box's own loop.
        Fake.NowMs += 1000;
        PostMessageA(MainWnd, WM_TIMER, TICK_TIMER_ID, 0);
      },
      [](HWND dlg) { SendDlgItemMessageA(dlg, IDOK, BM_CLICK, 0, 0); },
  });
  EXPECT_EQ(about.Run(), 0);
  EXPECT_EQ(about.StepsRun(), 4u);
  EXPECT_TRUE(openAfterEsc);
  EXPECT_EQ(Timer->Remaining, 999);
}

}  // namespace
