// The naive countdown, for comparison: one second less per WM_TIMER.
//   naive.exe SECONDS
#include <windows.h>

#include <cstdlib>

static int Remaining = 0;

static LRESULT CALLBACK NaiveWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && --Remaining <= 0) PostQuitMessage(0);
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  Remaining = atoi(commandLine);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = NaiveWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = "KwietNaive";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  SetTimer(wnd, 1, 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
