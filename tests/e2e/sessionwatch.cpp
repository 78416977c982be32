// A bystander window in the test's Wine prefix: it writes to a log what the
// session tells it, so a test can see a power-off request from outside.
//   sessionwatch.exe LOGFILE
#include <windows.h>

#include <cstdio>

static FILE* Log = nullptr;

static void Note(const char* text) {
  fprintf(Log, "%s\n", text);
  fflush(Log);
}

static LRESULT CALLBACK WatchWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_QUERYENDSESSION:
      Note("queryendsession");
      return TRUE;
    case WM_ENDSESSION:
      Note(wParam ? "endsession 1" : "endsession 0");
      return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Log = fopen(argv[1], "w");
  if (Log == nullptr) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WatchWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KwietSessionWatch";
  RegisterClassA(&wc);
  CreateWindowExA(0, wc.lpszClassName, "watch", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                  nullptr);
  Note("ready");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  Note("quit");
  return 0;
}
