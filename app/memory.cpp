// The program allocates with new but never catches: a plain malloc-based new
// keeps the C++ runtime's exception machinery (some 60 KB) out of the exe.
// malloc and free underneath, so memory may cross to code that uses the
// runtime's own operators.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) std::abort();
  return p;
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
