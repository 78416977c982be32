#include "dialogs/settime.h"

#include <cstdint>
#include <initializer_list>

#include "base/scoped.h"
#include "base/uitext.h"
#include "dialogs/header.h"
#include "res/resource.h"
#include "timer/clocktime.h"
#include "timer/sysapi.h"
#include "timer/timer.h"
#include "timer/timetext.h"

namespace {

constexpr uint8_t MODE_PERIOD = 0, MODE_CLOCK = 1;
constexpr WORD MAX_HOURS = 99, MAX_MINUTES = 59, MAX_SECONDS = 59, MAX_CLOCK_HOUR = 23, MAX_CLOCK_MINUTE = 59;
// A clock time must lie more than this many minutes ahead.
constexpr int64_t MIN_CLOCK_LEAD = 5;
constexpr int HEADER_FONT_HEIGHT = -11;
constexpr COLORREF WHITE = RGB(255, 255, 255);

// Owned by the dialog from WM_INITDIALOG to WM_DESTROY, whichever way it ends.
struct SetTimeState {
  ScopedFont TitleFont;
  ScopedFont SubtitleFont;
  ScopedBrush WhiteBrush;
};

SetTimeState* State(HWND dlg) { return reinterpret_cast<SetTimeState*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

HFONT CreateHeaderFont(int weight) {
  return CreateFontA(HEADER_FONT_HEIGHT, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

// A field as an unsigned number; false for an empty field or one that is not
// a number.
bool ReadField(HWND dlg, int id, UINT& value) {
  BOOL ok = FALSE;
  value = GetDlgItemInt(dlg, id, &ok, FALSE);
  return ok != FALSE;
}

UINT FieldOrZero(HWND dlg, int id) {
  UINT value = 0;
  return ReadField(dlg, id, value) ? value : 0;
}

bool IsChecked(HWND dlg, int id) { return SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Only typed digits confirmed with Enter can get this far.
int32_t Saturated(int64_t seconds) { return seconds > INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds); }

// Minutes from now until the clock time of the fields, the real time; a time
// already passed is tomorrow's. False when a field holds no number.
bool MinutesUntilClock(HWND dlg, int64_t& minutes) {
  UINT minute = 0, hour = 0;
  if (!ReadField(dlg, IDC_CLOCK_MINUTE, minute) || !ReadField(dlg, IDC_CLOCK_HOUR, hour)) return false;
  minutes = MinutesUntilClockTime(hour, minute);
  return true;
}

// The clock summary "[hh:mm]" and whether OK may be pressed. The dialog has no
// timer: both stay as they are while the clock moves on.
void UpdateClockSummary(HWND dlg) {
  int64_t minutes = 0;
  if (!MinutesUntilClock(dlg, minutes)) return;
  bool enable = !IsChecked(dlg, IDC_MODE_CLOCK) || minutes > MIN_CLOCK_LEAD;
  EnableWindow(GetDlgItem(dlg, IDC_SETTIME_OK), enable);
  char summary[48];
  // wsprintf: the C runtime's printf would add its float formatting to the exe.
  wsprintfA(summary, "[%02d:%02d]", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
  SetControlText(dlg, IDC_CLOCK_SUMMARY, summary);
}

// Cuts a field to its limit and writes it back with two digits at least; no
// carry into the next field.
void NormalizeField(HWND dlg, int id, WORD limit) {
  UINT value = FieldOrZero(dlg, id);
  if (value > limit) value = limit;
  char text[16];
  wsprintfA(text, "%02u", value);
  SetControlText(dlg, id, text);
  if (id == IDC_CLOCK_HOUR || id == IDC_CLOCK_MINUTE) UpdateClockSummary(dlg);
}

// The radio buttons lie in different groups, so keeping one of them checked
// is left to this.
void SelectTimeMode(HWND dlg, bool periodMode) {
  SendDlgItemMessageA(dlg, IDC_MODE_PERIOD, BM_SETCHECK, periodMode ? BST_CHECKED : BST_UNCHECKED, 0);
  SendDlgItemMessageA(dlg, IDC_MODE_CLOCK, BM_SETCHECK, periodMode ? BST_UNCHECKED : BST_CHECKED, 0);
  for (int id : {IDC_PERIOD_HOURS, IDC_PERIOD_MINUTES, IDC_PERIOD_SECONDS, IDC_LABEL_MINUTES, IDC_LABEL_HOURS,
                 IDC_LABEL_SECONDS}) {
    EnableWindow(GetDlgItem(dlg, id), periodMode);
  }
  for (int id : {IDC_CLOCK_HOUR, IDC_CLOCK_COLON, IDC_CLOCK_MINUTE}) EnableWindow(GetDlgItem(dlg, id), !periodMode);
  UpdateClockSummary(dlg);
}

// The field's limit; false for a control that is not a number field.
bool FieldLimit(int id, WORD& limit) {
  switch (id) {
    case IDC_PERIOD_HOURS:
      limit = MAX_HOURS;
      return true;
    case IDC_PERIOD_MINUTES:
      limit = MAX_MINUTES;
      return true;
    case IDC_PERIOD_SECONDS:
      limit = MAX_SECONDS;
      return true;
    case IDC_CLOCK_HOUR:
      limit = MAX_CLOCK_HOUR;
      return true;
    case IDC_CLOCK_MINUTE:
      limit = MAX_CLOCK_MINUTE;
      return true;
  }
  return false;
}

INT_PTR OnInitDialog(HWND dlg) {
  auto* state = new SetTimeState();
  state->WhiteBrush.reset(CreateSolidBrush(WHITE));
  SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(state));

  // Hours keep all their digits here; they are cut to 99 only on leaving.
  SetControlText(dlg, IDC_PERIOD_HOURS, TimePartText(Timer->Period, 1).c_str());
  SetControlText(dlg, IDC_PERIOD_MINUTES, TimePartText(Timer->Period, 2).c_str());
  SetControlText(dlg, IDC_PERIOD_SECONDS, TimePartText(Timer->Period, 3).c_str());

  // One hour from now; after 23:00 the hour stays 23 rather than wrapping.
  SYSTEMTIME now = {};
  Sys.GetLocalTime(&now);
  SetControlText(dlg, IDC_CLOCK_HOUR, IntToText(now.wHour + 1).c_str());
  NormalizeField(dlg, IDC_CLOCK_HOUR, MAX_CLOCK_HOUR);
  SetControlText(dlg, IDC_CLOCK_MINUTE, IntToText(now.wMinute).c_str());
  NormalizeField(dlg, IDC_CLOCK_MINUTE, MAX_CLOCK_MINUTE);

  SelectTimeMode(dlg, Timer->Mode == MODE_PERIOD);

  state->TitleFont.reset(CreateHeaderFont(FW_BOLD));
  state->SubtitleFont.reset(CreateHeaderFont(FW_NORMAL));
  SendDlgItemMessageA(dlg, IDC_HEADER_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(state->TitleFont.get()), 0);
  SendDlgItemMessageA(dlg, IDC_HEADER_SUBTITLE, WM_SETFONT, reinterpret_cast<WPARAM>(state->SubtitleFont.get()), 0);
  return FALSE;  // the dialog manager places the focus
}

// Children still hold the fonts' handles but draw nothing after this.
INT_PTR OnDestroy(HWND dlg) {
  delete State(dlg);
  SetWindowLongPtrA(dlg, DWLP_USER, 0);
  return FALSE;
}

INT_PTR OnClose(HWND dlg) {
  EndDialog(dlg, 0);
  return FALSE;
}

// The header, the colon and the summary sit on white.
INT_PTR OnCtlColorStatic(HWND dlg, HWND control) {
  SetTimeState* state = State(dlg);
  if (state == nullptr) return FALSE;
  switch (GetDlgCtrlID(control)) {
    case IDC_CLOCK_COLON:
    case IDC_CLOCK_SUMMARY:
    case IDC_HEADER_BAND:
    case IDC_HEADER_TITLE:
    case IDC_HEADER_SUBTITLE:
      return reinterpret_cast<INT_PTR>(state->WhiteBrush.get());
  }
  return FALSE;
}

void OnOk(HWND dlg) {
  int32_t seconds = 0;
  uint8_t mode = MODE_PERIOD;
  if (IsChecked(dlg, IDC_MODE_PERIOD)) {
    // As typed: a value confirmed with Enter before leaving its field is not
    // cut to its limit.
    int64_t total = static_cast<int64_t>(FieldOrZero(dlg, IDC_PERIOD_HOURS)) * 3600 +
                    static_cast<int64_t>(FieldOrZero(dlg, IDC_PERIOD_MINUTES)) * 60 +
                    FieldOrZero(dlg, IDC_PERIOD_SECONDS);
    seconds = Saturated(total);
  } else {
    int64_t minutes = 0;
    if (!MinutesUntilClock(dlg, minutes)) return;  // stays open until the field is fixed
    seconds = Saturated(minutes * 60);
    mode = MODE_CLOCK;
  }
  Timer->Remaining = seconds;
  Timer->Mode = mode;
  Timer->Period = seconds;
  Timer->SetRunning(true);  // also resumes a paused countdown
  EndDialog(dlg, IDOK);
}

void OnFieldCommand(HWND dlg, int id, WORD code) {
  WORD limit = 0;
  switch (code) {
    case EN_SETFOCUS:
      SendDlgItemMessageA(dlg, id, EM_SETSEL, 0, -1);
      break;
    case EN_KILLFOCUS:
      if (FieldLimit(id, limit)) NormalizeField(dlg, id, limit);
      break;
    case EN_CHANGE:
      if (id == IDC_CLOCK_HOUR || id == IDC_CLOCK_MINUTE) UpdateClockSummary(dlg);
      break;
  }
}

// Esc's IDCANCEL is not among these: it leaves the dialog open.
INT_PTR OnCommand(HWND dlg, int id, WORD code) {
  switch (id) {
    case IDC_PERIOD_HOURS:
    case IDC_PERIOD_MINUTES:
    case IDC_PERIOD_SECONDS:
    case IDC_CLOCK_HOUR:
    case IDC_CLOCK_MINUTE:
      OnFieldCommand(dlg, id, code);
      break;
    case IDC_MODE_PERIOD:
      if (code == BN_CLICKED) SelectTimeMode(dlg, true);
      break;
    case IDC_MODE_CLOCK:
      if (code == BN_CLICKED) SelectTimeMode(dlg, false);
      break;
    case IDC_SETTIME_OK:
      if (code == BN_CLICKED) OnOk(dlg);
      break;
    case IDC_SETTIME_CANCEL:
      if (code == BN_CLICKED) EndDialog(dlg, 0);
      break;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK SetTimeDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog(dlg);
    case WM_DESTROY:
      return OnDestroy(dlg);
    case WM_CLOSE:
      return OnClose(dlg);
    case WM_DRAWITEM:
      return DrawHeaderItem(static_cast<UINT>(wParam), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(dlg, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      return OnCommand(dlg, LOWORD(wParam), HIWORD(wParam));
  }
  return FALSE;
}
