// The set-time dialog, driven from inside its modal loop with the local time
// fixed through the fake.
#include "dialogs/settime.h"

#include "app/instance.h"
#include "app/mainwnd.h"
#include "app/startup.h"
#include "base/geometry.h"
#include "base/uitext.h"
#include "dialogs/about.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/timer.h"
#include "traymenu/traymenu.h"
#include "traymenu_inside.h"

namespace {

using SetTimeTest = ProgramTest;
using Step = std::function<void(HWND)>;

bool DialogUp() { return SetTimeWnd() != nullptr; }

std::vector<std::function<void()>> OnDialog(const std::vector<Step>& steps) {
  std::vector<std::function<void()>> wrapped;
  for (const Step& step : steps) {
    wrapped.push_back([step] {
      HWND dlg = SetTimeWnd();
      if (dlg == nullptr) {
        ADD_FAILURE() << "the dialog is not open";
        return;
      }
      step(dlg);
    });
  }
  return wrapped;
}

// Opens the dialog as the menu does and runs each step on its own tick;
// returns the dialog's result.
INT_PTR RunSetTime(const std::vector<Step>& steps) {
  InsideScript script(OnDialog(steps), 30, DialogUp);
  INT_PTR result = RunDialog(IDD_SETTIME, MainWnd, SetTimeDlgProc);
  EXPECT_FALSE(script.ClosedLeftovers()) << "the dialog stayed open";
  return result;
}

void SetLocalTime(WORD hour, WORD minute) {
  Fake.UtcTime.wHour = hour;
  Fake.UtcTime.wMinute = minute;
  Fake.UtcTime.wSecond = 45;
}

bool IsChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
void Click(HWND dlg, int id) { SendDlgItemMessageA(dlg, id, BM_CLICK, 0, 0); }
void Cancel(HWND dlg) { Click(dlg, IDC_SETTIME_CANCEL); }

TEST_F(SetTimeTest, OpensWithThePeriodAndTheRecordedMode) {
  Start("5430");
  std::string fields, hundredHours;
  bool periodChecked = false, clockChecked = true, periodOn = false, clockOff = false, okOn = false;
  RunSetTime({[&](HWND dlg) {
    fields = ItemText(dlg, IDC_PERIOD_HOURS) + ItemText(dlg, IDC_PERIOD_MINUTES) + ItemText(dlg, IDC_PERIOD_SECONDS);
    periodChecked = IsChecked(dlg, IDC_MODE_PERIOD);
    clockChecked = IsChecked(dlg, IDC_MODE_CLOCK);
    periodOn = ItemEnabled(dlg, IDC_PERIOD_HOURS) && ItemEnabled(dlg, IDC_PERIOD_MINUTES) &&
               ItemEnabled(dlg, IDC_PERIOD_SECONDS) && ItemEnabled(dlg, IDC_LABEL_HOURS);
    clockOff = !ItemEnabled(dlg, IDC_CLOCK_HOUR) && !ItemEnabled(dlg, IDC_CLOCK_MINUTE) &&
               !ItemEnabled(dlg, IDC_CLOCK_COLON) && !ItemEnabled(dlg, IDC_CLOCK_SUMMARY);
    okOn = ItemEnabled(dlg, IDC_SETTIME_OK);
    Cancel(dlg);
  }});
  EXPECT_EQ(fields, "013030");
  EXPECT_TRUE(periodChecked);
  EXPECT_FALSE(clockChecked);
  EXPECT_TRUE(periodOn);
  EXPECT_TRUE(clockOff);
  EXPECT_TRUE(okOn);

  Timer->Mode = 1;
  Timer->Period = 100 * 3600;  // shown with all its digits until the field is left
  RunSetTime({[&](HWND dlg) {
    hundredHours = ItemText(dlg, IDC_PERIOD_HOURS);
    clockChecked = IsChecked(dlg, IDC_MODE_CLOCK);
    periodChecked = IsChecked(dlg, IDC_MODE_PERIOD);
    periodOn = ItemEnabled(dlg, IDC_PERIOD_HOURS) || ItemEnabled(dlg, IDC_PERIOD_MINUTES) ||
               ItemEnabled(dlg, IDC_PERIOD_SECONDS) || ItemEnabled(dlg, IDC_LABEL_HOURS) ||
               ItemEnabled(dlg, IDC_LABEL_MINUTES) || ItemEnabled(dlg, IDC_LABEL_SECONDS);
    clockOff = !ItemEnabled(dlg, IDC_CLOCK_HOUR) || !ItemEnabled(dlg, IDC_CLOCK_MINUTE);
    Cancel(dlg);
  }});
  EXPECT_EQ(hundredHours, "100");
  EXPECT_TRUE(clockChecked);
  EXPECT_FALSE(periodChecked);
  EXPECT_FALSE(periodOn);
  EXPECT_FALSE(clockOff);
}

TEST_F(SetTimeTest, ClockTimeIsProposedOneHourAheadAndKeptWithinTheDay) {
  Start("90");
  Timer->Mode = 1;
  std::string at1437, at2337;
  bool okAt1437 = false, okAt2337 = true;
  auto read = [](std::string& shown, bool& ok) {
    return [&shown, &ok](HWND dlg) {
      shown = ItemText(dlg, IDC_CLOCK_HOUR) + ":" + ItemText(dlg, IDC_CLOCK_MINUTE) + " " +
              ItemText(dlg, IDC_CLOCK_SUMMARY);
      ok = ItemEnabled(dlg, IDC_SETTIME_OK);
      Cancel(dlg);
    };
  };
  SetLocalTime(14, 37);
  RunSetTime({read(at1437, okAt1437)});
  SetLocalTime(23, 37);
  RunSetTime({read(at2337, okAt2337)});
  EXPECT_EQ(at1437, "15:37 [01:00]");
  EXPECT_TRUE(okAt1437);
  EXPECT_EQ(at2337, "23:37 [00:00]");  // the hour is cut to 23, not wrapped to 00
  EXPECT_FALSE(okAt2337);
}

TEST_F(SetTimeTest, ClockTimeMustLieMoreThanFiveMinutesAhead) {
  Start("90");
  SetLocalTime(14, 37);
  std::string five, six;
  bool okFive = true, okSix = false, okPeriod = false, stillOpen = false;
  INT_PTR result = RunSetTime({
      [&](HWND dlg) {
        Click(dlg, IDC_MODE_CLOCK);
        TypeInto(dlg, IDC_CLOCK_HOUR, "14");
        TypeInto(dlg, IDC_CLOCK_MINUTE, "42");
        five = ItemText(dlg, IDC_CLOCK_SUMMARY);
        okFive = ItemEnabled(dlg, IDC_SETTIME_OK);
        PressKey(dlg, VK_RETURN);  // Enter does nothing while OK is disabled
      },
      [&](HWND dlg) {
        stillOpen = true;
        TypeInto(dlg, IDC_CLOCK_MINUTE, "43");
        six = ItemText(dlg, IDC_CLOCK_SUMMARY);
        okSix = ItemEnabled(dlg, IDC_SETTIME_OK);
        TypeInto(dlg, IDC_CLOCK_MINUTE, "40");
        Click(dlg, IDC_MODE_PERIOD);
        okPeriod = ItemEnabled(dlg, IDC_SETTIME_OK);
        Cancel(dlg);
      },
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(five, "[00:05]");
  EXPECT_FALSE(okFive);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(six, "[00:06]");
  EXPECT_TRUE(okSix);
  EXPECT_TRUE(okPeriod);
  EXPECT_EQ(Timer->Remaining, 90);
  EXPECT_EQ(Timer->Mode, 0);
}

TEST_F(SetTimeTest, PassedClockTimeIsTomorrowsInWholeMinutes) {
  Start("90");
  SetLocalTime(14, 37);
  std::string summary;
  INT_PTR result = RunSetTime({[&](HWND dlg) {
    Click(dlg, IDC_MODE_CLOCK);
    TypeInto(dlg, IDC_CLOCK_HOUR, "14");
    TypeInto(dlg, IDC_CLOCK_MINUTE, "36");
    summary = ItemText(dlg, IDC_CLOCK_SUMMARY);
    Click(dlg, IDC_SETTIME_OK);
  }});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(summary, "[23:59]");
  EXPECT_EQ(Timer->Remaining, 86340);  // the present seconds (45) do not count
  EXPECT_EQ(Timer->Period, 86340);
  EXPECT_EQ(Timer->Mode, 1);
  EXPECT_TRUE(Timer->Running);
}

// 20:00:45 before the clocks go back: 08:00 is 13 hours away in the summary
// and the period saved (OK's five minutes use the same figure).
TEST_F(SetTimeTest, OnTheNightTheClocksGoBackTheRealTimeCounts) {
  Start("90");
  Fake.Zone = Europe;
  Fake.UtcTime = Utc(10, 24, 18, 0);
  std::string summary;
  RunSetTime({[&](HWND dlg) {
    Click(dlg, IDC_MODE_CLOCK);
    TypeInto(dlg, IDC_CLOCK_HOUR, "08");
    TypeInto(dlg, IDC_CLOCK_MINUTE, "00");
    summary = ItemText(dlg, IDC_CLOCK_SUMMARY);
    Click(dlg, IDC_SETTIME_OK);
  }});
  EXPECT_EQ(summary, "[13:00]");
  EXPECT_EQ(Timer->Period, 13 * 3600);
}

TEST_F(SetTimeTest, LeavingAFieldCutsItToItsLimitButEnterTakesItAsTyped) {
  Start("90");
  std::string minutes, hours, clockHour, emptyHour;
  RunSetTime({[&](HWND dlg) {
    TypeInto(dlg, IDC_PERIOD_HOURS, "150");
    TypeInto(dlg, IDC_PERIOD_MINUTES, "75");
    TypeInto(dlg, IDC_PERIOD_SECONDS, "5");
    hours = ItemText(dlg, IDC_PERIOD_HOURS);
    minutes = ItemText(dlg, IDC_PERIOD_MINUTES);
    Click(dlg, IDC_MODE_CLOCK);
    TypeInto(dlg, IDC_CLOCK_HOUR, "30");
    TypeInto(dlg, IDC_CLOCK_MINUTE, "10");
    clockHour = ItemText(dlg, IDC_CLOCK_HOUR);
    TypeInto(dlg, IDC_CLOCK_HOUR, "");
    TypeInto(dlg, IDC_CLOCK_MINUTE, "10");
    emptyHour = ItemText(dlg, IDC_CLOCK_HOUR);
    Cancel(dlg);
  }});
  EXPECT_EQ(hours, "99");
  EXPECT_EQ(minutes, "59");  // no carry into the hours
  EXPECT_EQ(clockHour, "23");
  EXPECT_EQ(emptyHour, "00");
  EXPECT_EQ(Timer->Remaining, 90);

  // Enter while the field still has the focus: nothing is cut.
  INT_PTR result = RunSetTime({
      [&](HWND dlg) {
        TypeInto(dlg, IDC_PERIOD_HOURS, "0");
        TypeInto(dlg, IDC_PERIOD_SECONDS, "0");
        TypeInto(dlg, IDC_PERIOD_MINUTES, "75");
        PressKey(dlg, VK_RETURN);
      },
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Timer->Remaining, 75 * 60);
  EXPECT_EQ(Timer->Period, 75 * 60);
  EXPECT_EQ(Timer->Mode, 0);
}

TEST_F(SetTimeTest, EmptyPeriodCountsAsZeroAndEndsAtTheFirstTick) {
  Start("90");
  RunSetTime({[&](HWND dlg) {
    for (int id : {IDC_PERIOD_HOURS, IDC_PERIOD_MINUTES, IDC_PERIOD_SECONDS}) TypeInto(dlg, id, "");
    PressKey(dlg, VK_RETURN);
  }});
  EXPECT_EQ(Timer->Remaining, 0);
  Tick();
  EXPECT_TRUE(QuitPosted());
}

TEST_F(SetTimeTest, EmptyClockFieldMakesOkDoNothing) {
  Start("90");
  SetLocalTime(14, 37);
  bool open = false;
  INT_PTR result = RunSetTime({
      [&](HWND dlg) {
        Click(dlg, IDC_MODE_CLOCK);
        TypeInto(dlg, IDC_CLOCK_HOUR, "");
        PressKey(dlg, VK_RETURN);
      },
      [&](HWND dlg) {
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_SETTIME_OK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_SETTIME_OK)));
      },
      [&](HWND dlg) {
        open = IsWindowVisible(dlg) != FALSE;
        Cancel(dlg);
      },
  });
  EXPECT_TRUE(open);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Timer->Remaining, 90);
  EXPECT_EQ(Timer->Mode, 0);
}

TEST_F(SetTimeTest, EscDoesNothingAndTheCloseBoxCancels) {
  Start("90");
  bool open = false;
  INT_PTR result = RunSetTime({
      [&](HWND dlg) {
        TypeInto(dlg, IDC_PERIOD_MINUTES, "5");
        PressKey(dlg, VK_ESCAPE);
      },
      [&](HWND dlg) {
        open = true;
        SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      },
  });
  EXPECT_TRUE(open);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Timer->Remaining, 90);
  EXPECT_EQ(Timer->Period, 90);
}

TEST_F(SetTimeTest, FromThePausedMenuOkResumesWithTheNewTimeAndCancelOrNoDialogLeavesItPaused) {
  Start("90");
  for (int i = 0; i < 10; ++i) Tick();
  SendMessageA(MainWnd, WM_COMMAND, IDM_PAUSE, 0);
  {
    InsideScript script(OnDialog({[](HWND dlg) { Cancel(dlg); }}), 30, DialogUp);
    SendMessageA(MainWnd, WM_COMMAND, IDM_SET_TIME, 0);
  }
  {
    RefuseWindows dialogs("#32770");
    SendMessageA(MainWnd, WM_COMMAND, IDM_SET_TIME, 0);
    EXPECT_EQ(dialogs.Attempts(), 1);
  }
  EXPECT_FALSE(Timer->Running);
  EXPECT_EQ(Timer->Remaining, 80);
  EXPECT_EQ(Timer->Period, 90);
  {
    InsideScript script(OnDialog({[](HWND dlg) {
                          TypeInto(dlg, IDC_PERIOD_HOURS, "0");
                          TypeInto(dlg, IDC_PERIOD_MINUTES, "2");
                          TypeInto(dlg, IDC_PERIOD_SECONDS, "0");
                          Click(dlg, IDC_SETTIME_OK);
                        }}),
                        30, DialogUp);
    SendMessageA(MainWnd, WM_COMMAND, IDM_SET_TIME, 0);
  }
  EXPECT_TRUE(Timer->Running);
  EXPECT_EQ(Timer->Remaining, 120);
  EXPECT_EQ(Timer->Period, 120);
  Tick();
  EXPECT_EQ(Timer->Remaining, 119);
  EXPECT_FALSE(MenuBusy);
}

TEST_F(SetTimeTest, SecondsBeyond32BitsSaturate) {
  Start("90");
  RunSetTime({[](HWND dlg) {
    TypeInto(dlg, IDC_PERIOD_HOURS, "999999999");
    PressKey(dlg, VK_RETURN);
  }});
  EXPECT_EQ(Timer->Remaining, INT32_MAX);
  RunSetTime({[](HWND dlg) {
    Click(dlg, IDC_MODE_CLOCK);
    TypeInto(dlg, IDC_CLOCK_HOUR, "4000000000");
    PressKey(dlg, VK_RETURN);
  }});
  EXPECT_EQ(Timer->Remaining, INT32_MAX);
  EXPECT_EQ(Timer->Period, INT32_MAX);
}

// What the header shows: the band in the caption colour with the picture, and
// the title on a white strip.
struct HeaderLook {
  COLORREF Band = 0;
  COLORREF TitleStrip = 0;
  int TitleInk = 0;  // dark pixels of the title text
  bool PictureMatches = false;
};

HeaderLook LookAtHeader(HWND dlg) {
  HeaderLook look;
  UpdateWindow(dlg);
  RECT band = ChildRect(dlg, IDC_HEADER_BAND), title = ChildRect(dlg, IDC_HEADER_TITLE);
  HDC dc = GetDC(dlg);
  look.Band = GetPixel(dc, band.right - 3, band.bottom - 3);
  look.TitleStrip = GetPixel(dc, title.right - 2, title.top);
  for (int x = title.left; x < title.right; ++x) {
    for (int y = title.top; y < title.bottom; ++y) look.TitleInk += GetPixel(dc, x, y) == RGB(0, 0, 0);
  }
  HBITMAP picture = LoadBitmapA(HInstance, RES_HEADER);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, picture);
  look.PictureMatches = picture != nullptr;
  for (POINT p : {POINT{0, 0}, POINT{19, 17}, POINT{10, 30}, POINT{38, 35}}) {
    look.PictureMatches =
        look.PictureMatches && GetPixel(dc, band.left + 4 + p.x, band.top + 3 + p.y) == GetPixel(memory, p.x, p.y);
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(picture);
  ReleaseDC(dlg, dc);
  return look;
}

void ExpectHeaderLooksRight(const HeaderLook& look) {
  EXPECT_EQ(look.Band, GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(look.TitleStrip, RGB(255, 255, 255));
  EXPECT_GT(look.TitleInk, 20);
  EXPECT_TRUE(look.PictureMatches);
}

TEST_F(SetTimeTest, HeaderIsPaintedAndItsFontsAndBrushAreFreed) {
  Start("90");
  HeaderLook look;
  HGDIOBJ owned[3] = {};
  LOGFONTA title = {}, subtitle = {};
  RunSetTime({[&](HWND dlg) {
    look = LookAtHeader(dlg);
    owned[0] = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dlg, IDC_HEADER_TITLE, WM_GETFONT, 0, 0));
    owned[1] = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(dlg, IDC_HEADER_SUBTITLE, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dlg);
    owned[2] = reinterpret_cast<HGDIOBJ>(SendMessageA(dlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_CLOCK_SUMMARY))));
    ReleaseDC(dlg, dc);
    GetObjectA(owned[0], sizeof title, &title);
    GetObjectA(owned[1], sizeof subtitle, &subtitle);
    Cancel(dlg);
  }});
  ExpectHeaderLooksRight(look);
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_EQ(subtitle.lfWeight, FW_NORMAL);
  EXPECT_EQ(title.lfHeight, -11);
  EXPECT_STREQ(title.lfFaceName, "Tahoma");
  EXPECT_EQ(GetObjectType(owned[2]), 0u) << "white brush left behind";
  EXPECT_EQ(GetObjectType(owned[0]), 0u) << "title font left behind";
  EXPECT_EQ(GetObjectType(owned[1]), 0u) << "subtitle font left behind";

  // Repainting and reopening leaves the count where it was. Wine keeps the
  // clip regions of its cached device contexts; they settle after the
  // second opening, so the count starts after that.
  auto repaintAndCancel = [](HWND dlg) {
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Cancel(dlg);
  };
  RunSetTime({repaintAndCancel});
  int before = CountGdiObjects();
  ASSERT_GE(before, 0);
  for (int i = 0; i < 5; ++i) RunSetTime({repaintAndCancel});
  EXPECT_EQ(CountGdiObjects(), before);
}

// Start-up without an argument: the dialog comes before the main window.
class SetTimeAtStartupTest : public ProgramTest {};

TEST_F(SetTimeAtStartupTest, CancelOrADialogThatCannotBeShownEndsTheProgramAtOnceSavingNothing) {
  bool ownerless = false;
  HeaderLook look;
  InsideScript script(OnDialog({[&](HWND dlg) {
                        ownerless = GetWindow(dlg, GW_OWNER) == nullptr;
                        look = LookAtHeader(dlg);
                        Cancel(dlg);
                      }}),
                      30, DialogUp);
  EXPECT_EQ(StartProgram("kwiet.exe"), StartResult::EndNow);
  EXPECT_TRUE(ownerless);
  ExpectHeaderLooksRight(look);  // the same without a main window
  // A dialog that could not be shown (a control that fails, a hook, a full
  // desktop heap) asked nobody either.
  {
    RefuseWindows dialogs("#32770");
    ASSERT_EQ(RunDialog(IDD_ABOUT, nullptr, AboutDlgProc), -1);
    ASSERT_EQ(dialogs.Attempts(), 1) << "not refused, but not found";
    EXPECT_EQ(StartProgram("kwiet.exe"), StartResult::EndNow) << "a countdown nobody set";
    EXPECT_EQ(dialogs.Attempts(), 2);
  }
  EXPECT_EQ(MainWnd, nullptr);
  EXPECT_EQ(Timer, nullptr);
  for (const char* name : {"Last Mode", "Last Time", "Show Timer Display", "Force Shutdown", "Warning Sound"}) {
    DWORD value = 0;
    EXPECT_FALSE(ReadStoredDword(name, value)) << name;
  }
}

// The gap the window check alone leaves: a second start while the first copy
// still asks for the time.
TEST_F(SetTimeAtStartupTest, SecondStartDuringTheDialogEndsAndBringsTheDialogForward) {
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  bool held = false, covered = false, forward = false;
  StartResult second = StartResult::Loop;
  TTimer* first = nullptr;
  TTimer* afterSecond = nullptr;
  InsideScript script(OnDialog({[&](HWND dlg) {
                        held = InstanceGuardHeld();
                        SetForegroundWindow(other);
                        covered = GetForegroundWindow() == other;
                        first = Timer;
                        second = StartProgram("kwiet.exe");
                        afterSecond = Timer;
                        forward = GetForegroundWindow() == dlg;
                        Cancel(dlg);
                      }}),
                      30, DialogUp);
  EXPECT_EQ(StartProgram("kwiet.exe"), StartResult::EndNow);
  EXPECT_TRUE(held);
  EXPECT_EQ(second, StartResult::EndNow);
  EXPECT_EQ(afterSecond, first) << "the second start made a countdown of its own";
  // Wine lets any process take the foreground; on Windows the test process
  // needs the right to, as a program the user has just started has.
  ASSERT_TRUE(covered);
  EXPECT_TRUE(forward);
  // The first copy's cancel lets a later start run.
  EXPECT_FALSE(InstanceGuardHeld());
  DestroyWindow(other);
}

}  // namespace
