#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "flow/ordered_parts.hpp"
#include "flow/parts_helper.hpp"

namespace orograd {
namespace {

using Range = std::tuple<std::size_t, std::size_t, std::size_t>;  // first, last, part

// The free functions and a PartsHelper's, which must split and order alike.
struct FreeParts {
  template <typename Body>
  void in_ordered_parts(std::size_t count, std::size_t enough, Body body) {
    orograd::in_ordered_parts(count, enough, body);
  }
  template <typename First, typename Second>
  void in_ordered_parts_twice(std::size_t count, std::size_t enough, First first, Second second) {
    orograd::in_ordered_parts_twice(count, enough, first, second);
  }
};

template <typename Parts>
class InOrderedParts : public ::testing::Test {
 protected:
  Parts parts_;
};
using PartsKinds = ::testing::Types<FreeParts, PartsHelper>;
TYPED_TEST_SUITE(InOrderedParts, PartsKinds);

// Both bodies get the parts in_ordered_parts makes for the same count, each item in
// exactly one part, and the second body sees every item the first body marked.
TYPED_TEST(InOrderedParts, SecondBodyRunsOnTheSamePartsAfterAllOfTheFirst) {
  constexpr std::size_t kEnough = 64;
  for (const std::size_t count : {std::size_t{0}, std::size_t{5}, kEnough - 1, kEnough, std::size_t{200000}}) {
    SCOPED_TRACE(count);
    std::mutex mutex;
    std::vector<Range> plain, first_ranges, second_ranges;
    this->parts_.in_ordered_parts(count, kEnough, [&](std::size_t first, std::size_t last, std::size_t part) {
      const std::lock_guard<std::mutex> lock(mutex);
      plain.emplace_back(first, last, part);
    });
    std::vector<char> marked(count, 0), visited(count, 0);
    std::vector<std::size_t> seen_marked;
    this->parts_.in_ordered_parts_twice(
        count, kEnough,
        [&](std::size_t first, std::size_t last, std::size_t part) {
          // A slow first part: a thread done with the other first parts must wait for it.
          if (part == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
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
    std::vector<Range> expected;
    orograd::in_ordered_parts(count, kEnough, [&](std::size_t first, std::size_t last, std::size_t part) {
      const std::lock_guard<std::mutex> lock(mutex);
      expected.emplace_back(first, last, part);
    });
    for (std::vector<Range>* ranges : {&expected, &plain, &first_ranges, &second_ranges})
      std::sort(ranges->begin(), ranges->end());
    EXPECT_EQ(plain, expected);
    EXPECT_EQ(first_ranges, expected);
    EXPECT_EQ(second_ranges, expected);
    EXPECT_EQ(std::count(visited.begin(), visited.end(), 1), static_cast<std::ptrdiff_t>(count));
    for (const std::size_t marks : seen_marked) EXPECT_EQ(marks, count);
  }
}

// Many small loops in a row, as the sink runs make them: each returns with every item
// done once, none left to a helper and none done again by a helper late for its loop.
TYPED_TEST(InOrderedParts, BackToBackLoopsEachDoEveryItemOnceBeforeReturning) {
  constexpr std::size_t kCount = 8;
  std::vector<std::atomic<int>> done(kCount);
  int wrong = 0;
  for (int loop = 1; loop <= 20000; ++loop) {
    this->parts_.in_ordered_parts(kCount, 1, [&](std::size_t first, std::size_t last, std::size_t) {
      for (std::size_t k = first; k < last; ++k) done[k].fetch_add(1, std::memory_order_relaxed);
    });
    for (const std::atomic<int>& item : done) wrong += item.load() != loop;
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace orograd
