#include <windows.h>

#include "app/hardening.h"

#include "base/kernelproc.h"

namespace {

// Newer than the Windows XP headers the program is built with.
constexpr DWORD LoadLibrarySearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD ProcessDepEnable = 0x00000001;           // PROCESS_DEP_ENABLE
constexpr int HeapTerminateOnCorruption = 1;             // HeapEnableTerminationOnCorruption

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD flags);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR path);
using SetProcessDEPPolicyFn = BOOL(WINAPI*)(DWORD flags);
using HeapSetInformationFn = BOOL(WINAPI*)(HANDLE heap, int infoClass, PVOID info, SIZE_T length);
using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID buffer, ULONG length);

}  // namespace

// The stack protector's canary, defined by its runtime; its constructor seeds
// it only while it is 0.
extern "C" void* __stack_chk_guard;

void HardenProcess() {
  // Windows 8 on, and 7 or Vista with KB2533623: System32 only, neither the
  // exe's folder nor the current directory.
  auto setDefaultDllDirectories = KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories");
  if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LoadLibrarySearchSystem32)) {
    // XP SP1 on: takes the current directory out of the search; the exe's
    // folder stays in it, which only the call above can change.
    auto setDllDirectoryW = KernelFunction<SetDllDirectoryWFn>("SetDllDirectoryW");
    if (setDllDirectoryW != nullptr) setDllDirectoryW(L"");
  }
#ifdef __i386__
  // XP SP3 and Vista SP1 on. The NX flag in the header alone leaves DEP off
  // on XP; where DEP is already on for good the call fails, harmlessly.
  auto setProcessDEPPolicy = KernelFunction<SetProcessDEPPolicyFn>("SetProcessDEPPolicy");
  if (setProcessDEPPolicy != nullptr) setProcessDEPPolicy(ProcessDepEnable);
#endif
  // Vista on; XP refuses the request, harmlessly.
  auto heapSetInformation = KernelFunction<HeapSetInformationFn>("HeapSetInformation");
  if (heapSetInformation != nullptr) heapSetInformation(nullptr, HeapTerminateOnCorruption, nullptr, 0);
}

// RtlGenRandom, exported by name as SystemFunction036 (XP on); it opens no
// provider. Looked up, not imported: Windows 7 on forwards it to
// cryptbase.dll, loaded here after HardenProcess has limited the DLL search.
__attribute__((no_stack_protector)) void SeedStackGuard() {
  auto rtlGenRandom = ModuleFunction<RtlGenRandomFn>("advapi32.dll", "SystemFunction036");
  void* seed = nullptr;
  if (rtlGenRandom != nullptr && rtlGenRandom(&seed, sizeof seed)) __stack_chk_guard = seed;
}
