// Counts the heap allocations of a program: replaces the global operator
// new and delete. Include it in exactly one source file of the program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace t21::test {
inline std::atomic<long> gAllokationen{0};
}  // namespace t21::test

// GCC takes the pairing of these replacements with malloc and free for a
// mismatch once it inlines them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  t21::test::gAllokationen.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
  return operator new(n);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop
