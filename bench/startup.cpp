// Time from process start until a program's window class is findable, median
// of several runs, for kwiet.exe and for an empty program, taken in turns.
//   startup.exe KWIET_EXE EMPTY_EXE RUNS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double TimeToWindow(const std::string& commandLine, const char* windowClass) {
  std::string line = commandLine;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  double start = NowMs();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  while (FindWindowA(windowClass, nullptr) == nullptr && NowMs() - start < 10000) Sleep(0);
  double took = NowMs() - start;
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return took;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  int runs = atoi(argv[3]);
  std::vector<double> ours, empty;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(TimeToWindow(std::string("\"") + argv[1] + "\" 7200", "Kwiet!"));
    empty.push_back(TimeToWindow(std::string("\"") + argv[2] + "\"", "KwietEmpty"));
  }
  printf("%.0f %.0f\n", Median(ours), Median(empty));
  return 0;
}
