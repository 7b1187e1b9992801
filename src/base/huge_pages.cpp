#include "base/huge_pages.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace orograd {

std::pair<std::uintptr_t, std::uintptr_t> whole_huge_pages(std::uintptr_t address, std::size_t bytes) {
  const std::uintptr_t first = (address + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const std::uintptr_t last = (address + bytes) & ~(kHugePageBytes - 1);
  return {first, std::max(first, last)};
}

void advise_huge_pages(void* block, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  const auto [first, last] = whole_huge_pages(reinterpret_cast<std::uintptr_t>(block), bytes);
  if (first != last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

}  // namespace orograd

// Every new and delete of the program goes through malloc and free, as the library's
// own do; blocks of two huge pages and more are advised for huge pages on the way:
// the walks' lists and per-cell counts are as large as a grid and read as randomly.
// The forms without exceptions are replaced as well, so that every block a
// replaced delete frees came from malloc here.
namespace {

void* allocate_or_null(std::size_t bytes) noexcept {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block != nullptr && bytes >= 2 * orograd::kHugePageBytes) orograd::advise_huge_pages(block, bytes);
  return block;
}

void* allocate(std::size_t bytes) {
  void* block = allocate_or_null(bytes);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(std::size_t bytes) { return allocate(bytes); }
void* operator new[](std::size_t bytes) { return allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return allocate_or_null(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return allocate_or_null(bytes); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
