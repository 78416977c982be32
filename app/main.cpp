#include <windows.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  switch (StartProgram(GetCommandLineA())) {
    case StartResult::EndNow:
      ExitProcess(0);
    case StartResult::ExitSequence:
      ExitProgram();
    case StartResult::Loop:
      break;
  }
  RunMessageLoop();
  ExitProgram();
}
