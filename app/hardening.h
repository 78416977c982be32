// The process's own defences, set before anything loads a library.
#pragma once

// Limits where Windows looks for DLLs loaded on demand, by the program or by
// the system DLLs it uses, so that a DLL lying beside the exe (in a Downloads
// folder, say) is not picked up; turns DEP on where the exe's flag alone does
// not; ends the process on heap corruption. Each step is looked up at run
// time and skipped where the system lacks it.
void HardenProcess();

// Seeds the stack protector's canary from the system's random source before
// the runtime's own constructor would, through a crypto provider whose DLLs
// slow the start-up. Where the source fails, the canary stays 0 and the
// runtime seeds it as before. Call it from a frame the stack protector does
// not check, since the canary changes under it.
void SeedStackGuard();
