#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <tuple>
#include <vector>

#include "flow/ordered_parts.hpp"

namespace orograd {
namespace {

using Range = std::tuple<std::size_t, std::size_t, std::size_t>;  // first, last, part

// Both bodies get the parts in_ordered_parts makes for the same count, each item in
// exactly one part, and the second body sees every item the first body marked.
TEST(InOrderedPartsTwice, SecondBodyRunsOnTheSamePartsAfterAllOfTheFirst) {
  constexpr std::size_t kEnough = 64;
  for (const std::size_t count : {std::size_t{0}, std::size_t{5}, kEnough - 1, kEnough, std::size_t{200000}}) {
    SCOPED_TRACE(count);
    std::mutex mutex;
    std::vector<Range> plain, first_ranges, second_ranges;
    in_ordered_parts(count, kEnough, [&](std::size_t first, std::size_t last, std::size_t part) {
      const std::lock_guard<std::mutex> lock(mutex);
      plain.emplace_back(first, last, part);
    });
    std::vector<char> marked(count, 0), visited(count, 0);
    std::vector<std::size_t> seen_marked;
    in_ordered_parts_twice(
        count, kEnough,
        [&](std::size_t first, std::size_t last, std::size_t part) {
          for (std::size_t k = first; k < last; ++k) ++marked[k];
          const std::lock_guard<std::mutex> lock(mutex);
          first_ranges.emplace_back(first, last, part);
        },
        [&](std::size_t first, std::size_t last, std::size_t part) {
          for (std::size_t k = first; k < last; ++k) ++visited[k];
          const auto marks = static_cast<std::size_t>(std::count(marked.begin(), marked.end(), 1));
          const std::lock_guard<std::mutex> lock(mutex);
          second_ranges.emplace_back(first, last, part);
          seen_marked.push_back(marks);
        });
    for (std::vector<Range>* ranges : {&plain, &first_ranges, &second_ranges})
      std::sort(ranges->begin(), ranges->end());
    EXPECT_EQ(first_ranges, plain);
    EXPECT_EQ(second_ranges, plain);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), 1), static_cast<std::ptrdiff_t>(count));
    for (const std::size_t marks : seen_marked) EXPECT_EQ(marks, count);
  }
}

}  // namespace
}  // namespace orograd
