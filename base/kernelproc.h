// Functions of system DLLs looked up at run time rather than imported: those
// older Windows lacks, so that the exe still loads on Windows XP, and those
// that may load a DLL, which must wait until the DLL search is limited.
#pragma once
#include <windows.h>

// The function of that name in a DLL the process has loaded, or null where
// the system has none.
template <typename Fn>
Fn ModuleFunction(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  if (handle == nullptr) return nullptr;
  // Through void(*)(): the generic function pointer type, so the cast is allowed.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

template <typename Fn>
Fn KernelFunction(const char* name) {
  return ModuleFunction<Fn>("kernel32.dll", name);
}
