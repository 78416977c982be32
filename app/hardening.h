// The process's own defences, set before anything loads a library.
#pragma once

// Limits where Windows looks for DLLs loaded on demand, by the program or by
// the system DLLs it uses, so that a DLL lying beside the exe (in a Downloads
// folder, say) is not picked up; turns DEP on where the exe's flag alone does
// not; ends the process on heap corruption. Each step is looked up at run
// time and skipped where the system lacks it.
void HardenProcess();
