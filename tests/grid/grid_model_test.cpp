// The block rule's worked examples, zero-filling, 1-based access and the size limits.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "grid/grid.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;
using Blocks = std::vector<int32_t>;

TEST(BlockRule, WorkedExamples) {
  EXPECT_EQ(block_rows(10000, 10000), (Blocks{6710, 1677, 838, 419, 356}));
  EXPECT_EQ(block_rows(1000, 1000), (Blocks{524, 262, 131, 65, 18}));
  EXPECT_EQ(block_rows(4096, 4096), (Blocks{4095, 1}));
  EXPECT_EQ(block_rows(10000, 4), (Blocks{3, 1}));
  // A + 24 = 32 is a power of two: the decimal factor gives k = 6, and the one row
  // is placed as a block of its own.
  EXPECT_EQ(block_rows(1, 1), (Blocks{1}));
}

TEST(BlockRule, SingleRowsAndEmptyRowsGetOneBlock) {
  for (int32_t ncols : {1, 7, 1000, 123457}) EXPECT_EQ(block_rows(ncols, 1), (Blocks{1})) << ncols;
  EXPECT_EQ(block_rows(0, 5), (Blocks{5}));
}

TEST(BlockRule, BlocksCoverEveryRowOnce) {
  for (auto [ncols, nrows] : {std::pair{3, 1000000}, {777, 5431}, {65536, 300}, {1, 2}}) {
    int64_t rows = 0;
    for (int32_t block : block_rows(ncols, nrows)) {
      EXPECT_GT(block, 0);
      rows += block;
    }
    EXPECT_EQ(rows, nrows) << ncols << "x" << nrows;
  }
}

TEST(BlockRule, RejectsRowsBeyondTheLimit) {
  const FatalError error = expect_fatal([] { block_rows(536870907, 1); });
  EXPECT_EQ(error.code(), 99);
  EXPECT_STREQ(error.what(), "too many columns in the matrices\n");
  EXPECT_EQ(block_rows(536870906, 0), (Blocks{0}));  // the largest row still passes
}

TEST(Grid, IsZeroFilledWithOneBasedRowsInBlocks) {
  Grid grid = Grid::allocate(1000, 1000);
  EXPECT_TRUE(grid.held());
  EXPECT_EQ(grid.block_count(), 5u);
  for (int32_t r = 1; r <= 1000; r += 37)
    for (int32_t c = 1; c <= 1000; c += 41) ASSERT_EQ(grid(r, c), 0.0);
  grid(1, 1) = 1;
  grid(1000, 1000) = 2;
  grid(525, 3) = 3;  // first row of the second block
  EXPECT_EQ(grid.row(1)[0], 1);
  EXPECT_EQ(grid.row(1000)[999], 2);
  EXPECT_EQ(grid.row(525)[2], 3);
  // Rows inside a block follow each other directly.
  EXPECT_EQ(grid.row(2), grid.row(1) + 1000);
}

TEST(Grid, MovingLeavesTheSourceEmpty) {
  Grid a = Grid::allocate(3, 2);
  a(2, 3) = 5;
  Grid b = std::move(a);
  EXPECT_FALSE(a.held());
  EXPECT_TRUE(b.held());
  EXPECT_EQ(b(2, 3), 5);
  b = Grid{};
  EXPECT_FALSE(b.held());
}

// A released grid's large blocks serve the next grid of the pool, cleared (small ones
// are the allocator's) unless the grid is about to be overwritten; the pool outlives
// the grids that use it.
TEST(Grid, BlocksOfReleasedGridsAreReusedClearedUnlessAboutToBeOverwritten) {
  auto pool = std::make_shared<BlockPool>();
  Grid first = Grid::allocate(1000, 1000, pool);
  const double* first_block = first.row(1);  // 524 rows, 4 MB
  first.fill(7);
  first = Grid{};  // its blocks go to the pool
  Grid second = Grid::allocate(1000, 1000, pool);
  EXPECT_EQ(second.row(1), first_block);
  for (int32_t r = 1; r <= 1000; r += 7)
    for (int32_t c = 1; c <= 1000; c += 11) ASSERT_EQ(second(r, c), 0.0) << r << ", " << c;
  Grid spare = Grid::allocate(1000, 1000, pool);
  const double* spare_block = spare.row(1);
  spare.fill(7);
  spare = Grid{};
  const Grid third = Grid::allocate(1000, 1000, pool, GridContents::unspecified);
  EXPECT_EQ(third.row(1), spare_block);
  EXPECT_EQ(third(1, 1), 7);
  second(1000, 1000) = 3;
  pool.reset();
  EXPECT_EQ(second(1000, 1000), 3);  // the grid keeps its pool alive until released
}

TEST(Grid, StopsBeforeTheCellCountWrapsAround) {
  const FatalError error = expect_fatal([] { Grid::allocate(65536, 32768); });
  EXPECT_EQ(error.code(), 99);
  EXPECT_NE(std::string(error.what()).find("2147483647 cells"), std::string::npos);
}

TEST(TruncateToInt, TruncatesTowardZeroAndSaturatesValuesFromFiles) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, int32_t> cases[] = {
      {2.9, 2}, {-2.9, -2}, {-9999, -9999}, {2147483647.5, INT32_MAX}, {3e9, INT32_MAX}, {inf, INT32_MAX},
      {-2147483648.5, INT32_MIN}, {-inf, INT32_MIN}, {std::nan(""), -9999}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(truncate_to_int(value), expected) << value;
}

}  // namespace
}  // namespace orograd
