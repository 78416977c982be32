#include <windows.h>

#include "app/hardening.h"
#include "app/startup.h"

namespace {

// Before WinMain and before every other constructor, the stack protector's
// own among them: nothing may load a DLL before the search is limited, and
// the canary seeded here spares that constructor its crypto provider.
__attribute__((constructor(101), no_stack_protector)) void HardenFirst() {
  HardenProcess();
  SeedStackGuard();
}

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
