#include <gtest/gtest.h>

#include <cmath>
#include <random>

#if !OROGRAD_SEQUENTIAL
#include <omp.h>
#endif

#include "flow/directions.hpp"
#include "flow/flow_correction.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::N;
using testing::values_of;

// A model of hillslope cells (direction 0, nodata order, accumulation 1) in which
// river cells are set one by one. The scratch grid starts with rubbish.
struct Model {
  Grid directions, orders, accumulation, scratch;

  Model(int ncols, int nrows)
      : directions(Grid::allocate(ncols, nrows)), orders(Grid::allocate(ncols, nrows)),
        accumulation(Grid::allocate(ncols, nrows)), scratch(Grid::allocate(ncols, nrows)) {
    orders.fill(N);
    accumulation.fill(1);
    scratch.fill(77);
  }
  void river(int row, int col, double code, double order, double amount) {
    directions(row, col) = code;
    orders(row, col) = order;
    accumulation(row, col) = amount;
  }
  void step(int order) { correct_parallel_flow(order, directions, orders, accumulation, scratch); }
};

// Two cells side by side at (4, 3) and (4, 4) of a 7x7 model, one step.
struct PairCase {
  const char* what;
  double west_code, west_order, west_amount, east_code, east_order, east_amount;
  int order;
  double west_after, east_after;
};

TEST(CorrectParallelFlow, DecidesWhichNeighbourQualifies) {
  const PairCase cases[] = {
      {"more water to the east", 8, 2, 50, 8, 2, 80, 2, 2, 8},
      {"more water to the west", 8, 2, 80, 8, 2, 50, 2, 8, 32},
      {"equal water, equal order", 8, 2, 50, 8, 2, 50, 2, 8, 8},
      {"higher order suffices", 8, 1, 50, 8, 3, 10, 1, 2, 8},
      {"lower order never attracts", 8, 1, 50, 8, 3, 10, 3, 8, 8},
      {"lower order with more water", 8, 1, 80, 8, 2, 50, 2, 8, 8},
      {"only cells of the step's order turn", 8, 1, 50, 8, 3, 10, 2, 8, 8},
      {"orders are truncated", 8, 2.7, 50, 8, 2.2, 80, 2, 2, 8},
      {"different direction", 8, 2, 50, 4, 2, 80, 2, 8, 4},
      {"no direction", 0, 2, 50, 0, 2, 80, 2, 0, 0},
      {"hillslope cells for order -9999", 8, N, 50, 8, N, 80, -9999, 8, 8},
      {"NaN order for order -9999", 8, std::nan(""), 50, 8, N, 80, -9999, 8, 8},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.what);
    Model model(7, 7);
    model.river(4, 3, c.west_code, c.west_order, c.west_amount);
    model.river(4, 4, c.east_code, c.east_order, c.east_amount);
    model.step(c.order);
    EXPECT_EQ(model.directions(4, 3), c.west_after);
    EXPECT_EQ(model.directions(4, 4), c.east_after);
  }
}

// For each direction the two neighbours across the flow in checking order; the code
// taken is the one pointing at the qualifying neighbour.
TEST(CorrectParallelFlow, TurnsTowardsTheAcrossFlowNeighboursOfTheTable) {
  const int table[8][3] = {{1, 64, 4}, {2, 128, 8},  {4, 1, 16},  {8, 2, 32},
                           {16, 64, 4}, {32, 128, 8}, {64, 16, 1}, {128, 2, 32}};
  for (const auto& [code, first, second] : table) {
    // Only the first qualifies, only the second, both: then the second wins.
    for (const auto& [with_first, with_second, expected] :
         {std::tuple{true, false, first}, {false, true, second}, {true, true, second}}) {
      SCOPED_TRACE(::testing::Message() << "direction " << code << " expecting " << expected);
      Model model(7, 7);
      model.river(4, 4, code, 2, 10);
      for (const auto& [placed, side] : {std::pair{with_first, first}, {with_second, second}}) {
        const Direction& d = *direction_for_code(side);
        if (placed) model.river(4 + d.row_offset, 4 + d.col_offset, code, 2, 50);
      }
      model.step(2);
      EXPECT_EQ(model.directions(4, 4), expected);
    }
  }
}

// A field of order-2 cells all flowing south, with more water further east: every
// cell may turn east, but only rows and columns 3 to n - 2 do.
TEST(CorrectParallelFlow, LeavesTheTwoOutermostRowsAndColumns) {
  for (const auto& [ncols, nrows] : {std::pair{7, 7}, {5, 5}, {9, 4}, {4, 9}}) {
    SCOPED_TRACE(::testing::Message() << ncols << "x" << nrows);
    Model model(ncols, nrows);
    for (int r = 1; r <= nrows; ++r)
      for (int c = 1; c <= ncols; ++c) model.river(r, c, 8, 2, c);
    model.step(2);
    for (int r = 1; r <= nrows; ++r)
      for (int c = 1; c <= ncols; ++c) {
        const bool inner = r >= 3 && r <= nrows - 2 && c >= 3 && c <= ncols - 2;
        EXPECT_EQ(model.directions(r, c), inner ? 2 : 8) << r << "," << c;
      }
  }
}

TEST(CorrectParallelFlow, DecidesOnTheGridsAsTheyWereBeforeTheStep) {
  // (4, 3) turns west; it still counts as parallel for (4, 4), which turns west too.
  Model model(7, 7);
  model.river(4, 2, 8, 2, 40);
  model.river(4, 3, 8, 2, 30);
  model.river(4, 4, 8, 2, 20);
  model.step(2);
  EXPECT_EQ(model.directions(4, 3), 32);
  EXPECT_EQ(model.directions(4, 4), 32);
}

TEST(CorrectParallelFlow, OneAndTwoThreadsGiveTheSameGrid) {
#if OROGRAD_SEQUENTIAL
  GTEST_SKIP() << "the sequential build has no threads";
#else
  std::mt19937 random(11);
  Model model(60, 60);
  for (int r = 1; r <= 60; ++r)
    for (int c = 1; c <= 60; ++c) {
      const int code = kDirections[random() % 8].code;
      const double order = random() % 5 == 0 ? N : 1 + static_cast<double>(random() % 3);
      model.river(r, c, code, order, static_cast<double>(random() % 100));
    }
  const std::vector<double> before = values_of(model.directions);
  const int threads = omp_get_max_threads();
  omp_set_num_threads(1);
  model.step(2);
  const std::vector<double> single = values_of(model.directions);
  model.directions = testing::grid_of(60, 60, before);
  omp_set_num_threads(2);
  model.step(2);
  omp_set_num_threads(threads);
  EXPECT_NE(single, before);
  EXPECT_EQ(values_of(model.directions), single);
#endif
}

}  // namespace
}  // namespace orograd
