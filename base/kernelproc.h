// Functions of kernel32 that older Windows lacks, looked up at run time rather
// than imported, so that the exe still loads on Windows XP.
#pragma once
#include <windows.h>

// The function of that name, or null where the system has none.
template <typename Fn>
Fn KernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  // Through void(*)(): the generic function pointer type, so the cast is allowed.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}
