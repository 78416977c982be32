// Drives and reads a running kwiet.exe from another process, as a user or
// Windows would: finds its windows, reads their texts and places, sends them
// messages. One command per call; prints its answer on stdout (UTF-8).
//   driver.exe wait-main SECONDS          the main window appears
//   driver.exe wait-gone SECONDS          the main window is gone
//   driver.exe wait-window KIND SECONDS   a window of that kind shows
//   driver.exe windows                    the program's visible windows: kind x y w h topmost title
//   driver.exe texts KIND                 the control texts of a window: id<TAB>text
//   driver.exe click KIND ID              BM_CLICK on a control
//   driver.exe close KIND                 WM_CLOSE to a window
//   driver.exe tray BUTTONMSG             the tray callback with a mouse message (e.g. 0x204)
//   driver.exe command ID                 WM_COMMAND to the main window
//   driver.exe menu                       the open popup menu: "open WIDTH HEIGHT X Y"
//   driver.exe menukey KEYS               keys in the open menu: D down, U up, R enter
//   driver.exe endmenu                    closes the open menu
//   driver.exe taskbar-created            broadcasts "TaskbarCreated" as a restarted shell does
//   driver.exe endsession                 WM_QUERYENDSESSION, then WM_ENDSESSION(TRUE)
//   driver.exe tray-icons                 icons in Wine's tray
//   driver.exe delete-icon                removes the program's tray icon, as a dying shell would
//   driver.exe run SECONDS EXE [ARG]      starts EXE (a kwiet.exe) and waits for its end: exit code
//                                         (not ended by then: it is killed, and the command fails)
//   driver.exe cover SECONDS              another program's window takes the foreground; it goes when it loses
//                                         it, or after SECONDS
//   driver.exe foreground                 the kind of the foreground window
//   driver.exe stop SECONDS               the program's threads stopped for SECONDS, the clocks running on
// KIND: display (the corner window), warning, settime, about.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "threads.h"
#include "winetray.h"

namespace {

HWND Main() { return FindWindowA("Kwiet!", nullptr); }

std::string Utf8(const wchar_t* text) {
  char out[1024];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

std::string Title(HWND wnd) {
  wchar_t text[256] = {};
  GetWindowTextW(wnd, text, 256);
  return Utf8(text);
}

std::string ClassOf(HWND wnd) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

// The program's visible top-level windows. Before its main window exists
// (the set-time dialog at start-up) every visible dialog counts: the test's
// Wine prefix runs nothing else.
std::vector<HWND> ProgramWindows() {
  struct Search {
    DWORD Pid;
    std::vector<HWND> Found;
  } search = {0, {}};
  HWND main = Main();
  if (main != nullptr) GetWindowThreadProcessId(main, &search.Pid);
  EnumWindows(
      [](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        bool ours = s->Pid != 0 ? pid == s->Pid : ClassOf(wnd) == "#32770";
        if (ours && IsWindowVisible(wnd)) s->Found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string KindOf(HWND wnd) {
  if (ClassOf(wnd) != "#32770") return ClassOf(wnd);
  std::string title = Title(wnd);
  if (title.empty()) return "display";
  if (title == "About Kwiet!") return "about";
  if (GetDlgItem(wnd, 1000) != nullptr) return "settime";
  if (GetDlgItem(wnd, 1001) != nullptr) return "warning";
  return "dialog";
}

HWND FindKind(const char* kind) {
  for (HWND wnd : ProgramWindows()) {
    if (KindOf(wnd) == kind) return wnd;
  }
  return nullptr;
}

bool WaitFor(double seconds, bool (*done)()) {
  for (int i = 0; i < seconds * 100; ++i) {
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

int Fail(const char* what) {
  fprintf(stderr, "driver: %s\n", what);
  return 1;
}

// Starts a kwiet.exe, as a second start from a shortcut would, and waits for
// it to end.
int Run(double seconds, const char* exe, const char* arg) {
  std::string line = std::string("\"") + exe + "\"";
  if (*arg != '\0') line += std::string(" ") + arg;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return Fail("cannot start kwiet.exe");
  }
  CloseHandle(pi.hThread);
  DWORD waited = WaitForSingleObject(pi.hProcess, static_cast<DWORD>(seconds * 1000));
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  // Under Wine it shares the driver's output pipe: left running, it would
  // keep the test waiting for the pipe's end.
  if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  if (waited != WAIT_OBJECT_0) return Fail("still running");
  printf("%lu\n", code);
  return 0;
}

// A plain window of another program, put over everything else.
int Cover(double seconds) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "cover";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "cover", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                             nullptr, wc.hInstance, nullptr);
  if (wnd == nullptr) return Fail("no cover window");
  SetForegroundWindow(wnd);
  DWORD start = GetTickCount();
  bool had = false;
  while (GetTickCount() - start < seconds * 1000) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    bool front = GetForegroundWindow() == wnd;
    if (had && !front) break;
    had = had || front;
    Sleep(10);
  }
  DestroyWindow(wnd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("no command");
  std::string cmd = argv[1];
  const char* arg = argc > 2 ? argv[2] : "";
  if (cmd == "wait-main") return WaitFor(atof(arg), [] { return Main() != nullptr; }) ? 0 : Fail("no main window");
  if (cmd == "wait-window") {
    static const char* kind = arg;
    return WaitFor(argc > 3 ? atof(argv[3]) : 10, [] { return FindKind(kind) != nullptr; }) ? 0 : Fail("no window");
  }
  if (cmd == "wait-gone") return WaitFor(atof(arg), [] { return Main() == nullptr; }) ? 0 : Fail("still running");
  if (cmd == "windows") {
    for (HWND wnd : ProgramWindows()) {
      RECT r;
      GetWindowRect(wnd, &r);
      bool topmost = (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      printf("%s %ld %ld %ld %ld %d %s\n", KindOf(wnd).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
             topmost ? 1 : 0, Title(wnd).c_str());
    }
    return 0;
  }
  if (cmd == "texts" || cmd == "click" || cmd == "close") {
    HWND wnd = FindKind(arg);
    if (wnd == nullptr) return Fail("no such window");
    if (cmd == "close") return PostMessageA(wnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (cmd == "click") {
      HWND button = GetDlgItem(wnd, argc > 3 ? atoi(argv[3]) : 0);
      if (button == nullptr) return Fail("no such control");
      PostMessageA(button, BM_CLICK, 0, 0);
      return 0;
    }
    for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t text[256] = {};
      SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
      printf("%d\t%s\n", GetDlgCtrlID(child), Utf8(text).c_str());
    }
    return 0;
  }
  if (cmd == "tray") return PostMessageA(Main(), WM_USER, 1, strtol(arg, nullptr, 0)) ? 0 : Fail("no main window");
  if (cmd == "command") return PostMessageA(Main(), WM_COMMAND, strtol(arg, nullptr, 0), 0) ? 0 : 1;
  if (cmd == "menu" || cmd == "endmenu" || cmd == "menukey") {
    WaitFor(5, [] {
      HWND popup = FindWindowA("#32768", nullptr);
      return popup != nullptr && IsWindowVisible(popup);
    });
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return Fail("no open menu");
    if (cmd == "endmenu") return PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0) ? 0 : 1;
    if (cmd == "menukey") {
      // Keys as the user would press them in the open menu, e.g. "DDDR".
      for (const char* k = arg; *k != '\0'; ++k) {
        WPARAM key = *k == 'D' ? VK_DOWN : *k == 'U' ? VK_UP : VK_RETURN;
        PostMessageA(popup, WM_KEYDOWN, key, 0);
        PostMessageA(popup, WM_KEYUP, key, 0);
        Sleep(50);
      }
      return 0;
    }
    // Wine keeps menus per process: another process cannot read the items
    // (the unit tests read them from inside), only see the menu's window.
    RECT r;
    GetWindowRect(popup, &r);
    printf("open %ld %ld %ld %ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
  }
  if (cmd == "run" && argc > 3) return Run(atof(arg), argv[3], argc > 4 ? argv[4] : "");
  if (cmd == "cover") return Cover(atof(arg));
  if (cmd == "stop") {
    DWORD pid = 0;
    if (GetWindowThreadProcessId(Main(), &pid) == 0) return Fail("no main window");
    SetThreadsSuspended(pid, true);
    Sleep(static_cast<DWORD>(atof(arg) * 1000));
    SetThreadsSuspended(pid, false);
    return 0;
  }
  if (cmd == "foreground") {
    HWND wnd = GetForegroundWindow();
    printf("%s\n", wnd != nullptr ? KindOf(wnd).c_str() : "none");
    return 0;
  }
  if (cmd == "taskbar-created") {
    return PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
  }
  if (cmd == "endsession") {
    HWND main = Main();
    if (main == nullptr) return Fail("no main window");
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
    printf("%d\n", static_cast<int>(answer));
    SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, nullptr);
    return 0;
  }
  if (cmd == "tray-icons") {
    int icons = WineTrayIcons();
    printf("%d\n", icons > 0 ? icons : 0);
    return 0;
  }
  if (cmd == "delete-icon") {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = Main();
    data.uID = 1;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : Fail("no icon");
  }
  return Fail("unknown command");
}
