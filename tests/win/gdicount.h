// GDI objects of this process, for the tests and the benchmarks alike.
// GetGuiResources answers on Windows; under Wine it returns 0, so Wine's own
// handle table is read instead.
#pragma once
#include <windows.h>

namespace gdicount {

// Wine 8, 64-bit: the PEB's GdiSharedHandleTable, 65536 entries of 24 bytes.
struct WineGdiEntry {
  UINT64 Object;
  USHORT ProcessId;
  USHORT Count;
  USHORT Unique;
  UCHAR Type;
  UCHAR Flags;
  UINT64 UserPointer;
};
static_assert(sizeof(WineGdiEntry) == 24, "Wine's GDI handle entry");

inline int CountWineGdiObjects() {
#ifdef _WIN64
  BYTE* peb = nullptr;
  asm("movq %%gs:0x60, %0" : "=r"(peb));
  auto* table = *reinterpret_cast<WineGdiEntry**>(peb + 0xF8);
  if (table == nullptr) return -1;
  int n = 0;
  for (int i = 0; i < 65536; ++i) {
    if (table[i].Type != 0 && (table[i].Unique & 0x80) == 0) ++n;
  }
  return n;
#else
  return -1;
#endif
}

}  // namespace gdicount

inline int CountGdiObjects() {
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n != 0) return static_cast<int>(n);
  return gdicount::CountWineGdiObjects();
}
