// Properties of the whole chain on random elevation models: every valid cell gets a
// code of its neighbourhood, every path ends at the edge of the model without a
// cycle, and the accumulation equals an independent count of upstream cells.
#include <gtest/gtest.h>

#include <random>

#include "base/console.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::N;

// Few distinct levels make many ties, flats and nested pits; some cells carry a
// fraction of a thousandth, which rounding takes away again or keeps.
Grid random_dem(std::mt19937& random, int ncols, int nrows) {
  std::uniform_int_distribution<int> level(0, 6), fraction(0, 9), nodata(0, 30);
  Grid dem = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c)
      dem(r, c) = nodata(random) == 0 ? N : level(random) + 0.0004 * fraction(random);
  return dem;
}

bool is_neighbourhood_code(Neighbourhood n, double code) {
  const Direction* d = direction_for_code(code);
  return d != nullptr && (n == Neighbourhood::eight || d->row_offset == 0 || d->col_offset == 0);
}

// Follows the path from a cell and adds 1 to every cell on it, the start included.
// Fails when the path is longer than the grid has cells (a cycle).
void count_path(const Grid& directions, int row, int col, std::vector<double>& counts) {
  const int nrows = directions.nrows(), ncols = directions.ncols();
  for (int steps = 0; steps <= nrows * ncols; ++steps) {
    counts[static_cast<std::size_t>((row - 1) * ncols + col - 1)] += 1;
    const Step step = downstream(row, col, directions(row, col), nrows, ncols);
    ASSERT_NE(step.kind, StepKind::no_direction) << row << "," << col;
    if (step.kind == StepKind::off_grid || is_nodata(directions(step.row, step.col))) return;
    row = step.row;
    col = step.col;
  }
  FAIL() << "cycle through " << row << "," << col;
}

void check_random_model(Neighbourhood n, unsigned seed) {
  std::mt19937 random(seed);
  const int ncols = 3 + static_cast<int>(random() % 14), nrows = 1 + static_cast<int>(random() % 14);
  Grid elevation = random_dem(random, ncols, nrows);
  Grid directions = Grid::allocate(ncols, nrows), regions = Grid::allocate(ncols, nrows);
  Console console = Console::capturing();
  round_elevations(elevation);
  derive_flow_directions(n, elevation, directions, regions, console);

  std::vector<double> expected(static_cast<std::size_t>(ncols) * nrows, 0.0);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) {
      const double code = directions(r, c);
      if (is_nodata(elevation(r, c))) {
        ASSERT_TRUE(is_nodata(code));
        expected[static_cast<std::size_t>((r - 1) * ncols + c - 1)] = N;
        continue;
      }
      ASSERT_TRUE(is_neighbourhood_code(n, code)) << code << " at " << r << "," << c;
    }
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c)
      if (!is_nodata(directions(r, c))) count_path(directions, r, c, expected);

  for (double threshold : {-1.0, 0.0, 2.0, 1e9}) {
    Grid accumulation = Grid::allocate(ncols, nrows);
    accumulate_flow(directions, threshold, accumulation, console);
    ASSERT_EQ(testing::values_of(accumulation), expected) << "threshold " << threshold;
  }
  // No report of zero directions, invalid codes or cycles.
  EXPECT_EQ(console.captured().find("flowdirection"), std::string::npos);
}

TEST(FlowProperties, RandomModelsWithEightNeighbours) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    check_random_model(Neighbourhood::eight, seed);
    if (HasFatalFailure()) return;
  }
}

TEST(FlowProperties, RandomModelsWithFourNeighbours) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    check_random_model(Neighbourhood::four, seed);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace orograd
