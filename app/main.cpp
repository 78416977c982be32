#include <windows.h>

#include "app/hardening.h"
#include "app/startup.h"

namespace {

// Before WinMain and before every other constructor: the stack protector's
// own one opens a crypto provider, which loads the provider's DLL.
__attribute__((constructor(101))) void HardenFirst() { HardenProcess(); }

}  // namespace

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
