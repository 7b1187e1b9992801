// Only whole huge pages inside a block are advised: advice reaching past the block
// would change memory the block does not own.
#include <gtest/gtest.h>

#include "base/huge_pages.hpp"

namespace orograd {
namespace {

TEST(HugePages, OnlyWholePagesInsideTheBlock) {
  constexpr std::uintptr_t P = kHugePageBytes;
  const struct {
    std::uintptr_t address;
    std::size_t bytes;
    std::uintptr_t first, last;
  } cases[] = {
      {8 * P, 3 * P, 8 * P, 11 * P},                // aligned at both ends
      {8 * P + 16, 3 * P, 9 * P, 11 * P},           // the partial first and last pages left out
      {8 * P - 16, 2 * P + 32, 8 * P, 10 * P},      // a page wholly inside
      {8 * P + 16, 2 * P - 32, 9 * P, 9 * P},       // two partial pages: none
      {8 * P + 4096, P, 9 * P, 9 * P},              // smaller than a page
  };
  for (const auto& c : cases) {
    const auto [first, last] = whole_huge_pages(c.address, c.bytes);
    EXPECT_EQ(first, c.first) << c.address << " " << c.bytes;
    EXPECT_EQ(last, c.last) << c.address << " " << c.bytes;
  }
}

}  // namespace
}  // namespace orograd
