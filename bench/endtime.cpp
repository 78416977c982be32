// Measures when a countdown program ends, with its GUI thread stalled from
// outside now and then, as a busy machine would stall it.
//   endtime.exe CLASS EXE PERIOD [AT_MS:STALL_MS ...]
// Prints the time from the start of a program's countdown to its end, and the
// error against PERIOD. The start is when its main window appears; the end is
// when its tray icon goes (under Wine an icon is a window of Wine's tray), or
// for a program without one when the process ends. It has no window, so
// a power-off request of the measured program under Wine leaves it running.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "threads.h"
#include "winetray.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: endtime CLASS EXE PERIOD [AT_MS:STALL_MS ...]\n");
    return 2;
  }
  const char* windowClass = argv[1];
  std::string commandLine = std::string("\"") + argv[2] + "\" " + argv[3];
  double period = atof(argv[3]) * 1000.0;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    fprintf(stderr, "cannot start %s\n", argv[2]);
    return 2;
  }
  // The start: the main window. The countdown starts a moment later, so the
  // error leans late; Wine shows a new tray icon only after an X round trip,
  // which would make a start taken there lean early.
  double limit = NowMs() + 20000;
  while (FindWindowA(windowClass, nullptr) == nullptr && NowMs() < limit) Sleep(0);
  double start = NowMs();
  for (int i = 4; i < argc; ++i) {
    double at = 0, stall = 0;
    if (sscanf(argv[i], "%lf:%lf", &at, &stall) != 2) continue;
    while (NowMs() < start + at) Sleep(1);
    SetThreadsSuspended(pi.dwProcessId, true);
    Sleep(static_cast<DWORD>(stall));
    SetThreadsSuspended(pi.dwProcessId, false);
  }
  int icons = WineTrayIcons();
  double ended = 0;
  while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT && NowMs() - start < period + 60000) {
    if (ended == 0 && icons > 0 && WineTrayIcons() < icons) ended = NowMs() - start;
  }
  if (ended == 0) ended = NowMs() - start;
  printf("%.0f %.0f\n", ended, ended - period);
  return 0;
}
