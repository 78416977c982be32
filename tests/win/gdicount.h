// GDI objects of this process, for the tests and the benchmarks alike.
// GetGuiResources answers on Windows; under Wine it returns 0, so Wine's own
// handle table is read instead.
#pragma once
#include <windows.h>

#include <cstddef>

namespace gdicount {

// Wine's GdiSharedHandleTable: 65536 entries, 24 bytes each in 32- and 64-bit
// processes alike (the fields are fixed-width so that both can share it).
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

// The PEB's GdiSharedHandleTable field.
#ifdef _WIN64
constexpr size_t PEB_GDI_TABLE = 0xF8;
#else
constexpr size_t PEB_GDI_TABLE = 0x94;
// A 32-bit process under Wine's newer WoW64 mode finds the table only in its
// 64-bit PEB, reached through the 64-bit TEB that GdiBatchCount then holds.
constexpr size_t TEB64_PEB = 0x60, PEB64_GDI_TABLE = 0xF8;
#endif

template <typename T>
T At(UINT_PTR base, size_t offset) {
  return *reinterpret_cast<const T*>(base + offset);
}

// Read through the segment register, as NtCurrentTeb does, without its
// intrinsic (which GCC 12 flags under -Warray-bounds).
inline const WineGdiEntry* WineGdiTable() {
  UINT_PTR peb = 0;
#ifdef _WIN64
  asm("movq %%gs:0x60, %0" : "=r"(peb));
#else
  DWORD teb64 = 0;
  asm("movl %%fs:0xF70, %0" : "=r"(teb64));  // TEB's GdiBatchCount
  if (teb64 != 0) {
    auto peb64 = static_cast<UINT_PTR>(At<UINT64>(teb64, TEB64_PEB));
    return reinterpret_cast<const WineGdiEntry*>(static_cast<UINT_PTR>(At<UINT64>(peb64, PEB64_GDI_TABLE)));
  }
  asm("movl %%fs:0x30, %0" : "=r"(peb));
#endif
  return At<const WineGdiEntry*>(peb, PEB_GDI_TABLE);
}

inline int CountWineGdiObjects() {
  const WineGdiEntry* table = WineGdiTable();
  if (table == nullptr) return -1;
  int n = 0;
  for (int i = 0; i < 65536; ++i) {
    if (table[i].Type != 0 && (table[i].Unique & 0x80) == 0) ++n;
  }
  return n;
}

}  // namespace gdicount

inline int CountGdiObjects() {
  DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (n != 0) return static_cast<int>(n);
  return gdicount::CountWineGdiObjects();
}
