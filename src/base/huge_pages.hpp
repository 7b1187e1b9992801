#pragma once
// Huge pages for large blocks of memory. The walks over a grid read cells far apart;
// with pages of 4 KiB nearly every such read also misses the processor's address cache,
// and each fresh page costs a fault. Kernels set to give huge pages only on request
// ("madvise") give them to memory advised so; elsewhere the advice changes nothing.
#include <cstddef>
#include <cstdint>
#include <utility>

namespace orograd {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// The huge pages that lie wholly inside the block of `bytes` bytes at `address`, as
// the addresses [first, last); first == last when there is none.
// Post: first and last are multiples of kHugePageBytes; when first != last,
// address <= first < last <= address + bytes.
std::pair<std::uintptr_t, std::uintptr_t> whole_huge_pages(std::uintptr_t address, std::size_t bytes);

// Advises the kernel to back the huge pages wholly inside the block with huge pages.
// Pre: the block is allocated. Pages written before the advice stay small, so it is
// given before the first write. Post: the block's contents are unchanged.
void advise_huge_pages(void* block, std::size_t bytes);

}  // namespace orograd
