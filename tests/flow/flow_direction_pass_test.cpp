#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "flow/directions.hpp"
#include "flow/flow_direction_pass.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;

struct PassResult {
  std::vector<double> directions;
  std::vector<double> marks;
};

PassResult pass(Neighbourhood n, int ncols, int nrows, const std::vector<double>& elevations) {
  const Grid elevation = grid_of(ncols, nrows, elevations);
  Grid directions = Grid::allocate(ncols, nrows);
  Grid marks = Grid::allocate(ncols, nrows);
  compute_flow_directions(n, elevation, directions, marks);
  return {testing::values_of(directions), testing::values_of(marks)};
}

// Centre cell of a 3x3 window surrounded by a ring at 9 that has outlets elsewhere.
double centre_direction(Neighbourhood n, const std::vector<double>& window) {
  return pass(n, 3, 3, window).directions[4];
}

TEST(DirectionTable, CodesOffsetsAndOppositesAgree) {
  for (const Direction& d : kDirections) {
    const Direction* back = direction_for_code(d.opposite);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->row_offset, -d.row_offset);
    EXPECT_EQ(back->col_offset, -d.col_offset);
    EXPECT_EQ(d.drop_divisor, d.row_offset != 0 && d.col_offset != 0 ? 1.4142135 : 1.0);
  }
  const auto four = neighbours<Neighbourhood::four>();
  EXPECT_EQ(four[0].code, 2);
  EXPECT_EQ(four[1].code, 8);
  EXPECT_EQ(four[2].code, 32);
  EXPECT_EQ(four[3].code, 128);
}

TEST(DirectionTable, OnlyTheEightCodesDecode) {
  for (double value : {0.0, -9999.0, 3.0, 2.5, 256.0, -1.0, 0.5, 6.0, std::nan("")})
    EXPECT_EQ(direction_for_code(value), nullptr) << value;
  EXPECT_EQ(direction_for_code(64.0)->row_offset, -1);
  EXPECT_EQ(direction_for_code(64.0)->col_offset, -1);
}

TEST(DownstreamStep, ReportsWhereAStepLeads) {
  Step s = downstream(2, 2, 4, 3, 3);
  EXPECT_EQ(s.kind, StepKind::moved);
  EXPECT_EQ(s.row, 3);
  EXPECT_EQ(s.col, 3);
  EXPECT_EQ(downstream(1, 2, 128, 3, 3).kind, StepKind::off_grid);
  EXPECT_EQ(downstream(3, 3, 2, 3, 3).kind, StepKind::off_grid);
  EXPECT_EQ(downstream(2, 2, 0, 3, 3).kind, StepKind::no_direction);
  EXPECT_EQ(downstream(2, 2, N, 3, 3).kind, StepKind::nodata);
  EXPECT_EQ(downstream(2, 2, 7, 3, 3).kind, StepKind::invalid);
}

TEST(FlowDirectionPass, EqualSteepestDropsGoToTheFirstInScanOrder) {
  // East and south both 1 lower: east comes first in both scan orders.
  const std::vector<double> window{9, 9, 9, 9, 5, 4, 9, 4, 9};
  EXPECT_EQ(centre_direction(Neighbourhood::eight, window), 2);
  EXPECT_EQ(centre_direction(Neighbourhood::four, window), 2);
  // West and north equally steep: west comes before north.
  EXPECT_EQ(centre_direction(Neighbourhood::eight, {9, 4, 9, 4, 5, 9, 9, 9, 9}), 32);
}

TEST(FlowDirectionPass, DiagonalDropsAreDividedBeforeComparing) {
  // 1.0 east against 1.4 south-east: 1.4 / 1.4142135 < 1.0.
  EXPECT_EQ(centre_direction(Neighbourhood::eight, {9, 9, 9, 9, 5, 4, 9, 9, 3.6}), 2);
  // 1.5 south-east beats 1.0 east.
  EXPECT_EQ(centre_direction(Neighbourhood::eight, {9, 9, 9, 9, 5, 4, 9, 9, 3.5}), 4);
  // With four neighbours the diagonal is not a neighbour at all.
  EXPECT_EQ(centre_direction(Neighbourhood::four, {9, 9, 9, 9, 5, 4, 9, 9, 0}), 2);
}

TEST(FlowDirectionPass, ACellWithoutLowerNeighbourInsideFlowsOffTheGrid) {
  // Row 1, column 2 of a 3x2 grid, all neighbours inside higher.
  const std::vector<double> top{9, 1, 9, 9, 9, 9};
  EXPECT_EQ(pass(Neighbourhood::eight, 3, 2, top).directions[1], 1);
  EXPECT_EQ(pass(Neighbourhood::four, 3, 2, top).directions[1], 128);
  // Also in the last column: east is the first outside neighbour with four.
  EXPECT_EQ(pass(Neighbourhood::four, 2, 2, {9, 1, 9, 9}).directions[1], 2);
  const PassResult off = pass(Neighbourhood::eight, 3, 2, top);
  EXPECT_EQ(off.marks[1], N);
}

TEST(FlowDirectionPass, AnEquallyHighNeighbourMakesAFlatEvenAtTheEdge) {
  const PassResult flat = pass(Neighbourhood::eight, 3, 2, {9, 1, 1, 9, 9, 9});
  EXPECT_EQ(flat.directions[1], 0);
  EXPECT_EQ(flat.marks[1], -1);
}

TEST(FlowDirectionPass, PitsAndWholeFlatsAreMarked) {
  const PassResult pit = pass(Neighbourhood::eight, 3, 3, {9, 9, 9, 9, 1, 9, 9, 9, 9});
  EXPECT_EQ(pit.directions[4], 0);
  EXPECT_EQ(pit.marks[4], -1);
  const PassResult level = pass(Neighbourhood::four, 3, 2, std::vector<double>(6, 4.0));
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(level.directions[i], 0);
    EXPECT_EQ(level.marks[i], -1);
  }
}

TEST(FlowDirectionPass, NodataIsAnOutletOnlyWithoutLowerNeighbour) {
  // Nodata to the south-west and north-west; everything else higher: south-west is
  // first in scan order.
  EXPECT_EQ(centre_direction(Neighbourhood::eight, {N, 9, 9, 9, 5, 9, N, 9, 9}), 16);
  // A lower valid neighbour wins over nodata.
  EXPECT_EQ(centre_direction(Neighbourhood::eight, {N, 9, 9, 9, 5, 9, 9, 4.9, 9}), 8);
  const PassResult nodata = pass(Neighbourhood::eight, 2, 1, {N, 3});
  EXPECT_EQ(nodata.directions[0], N);
  EXPECT_EQ(nodata.marks[0], N);
}

TEST(FlowDirectionPass, ASingleCellGridFlowsOffTheGrid) {
  EXPECT_EQ(pass(Neighbourhood::eight, 1, 1, {7}).directions[0], 1);
  EXPECT_EQ(pass(Neighbourhood::four, 1, 1, {7}).directions[0], 2);
}

// Raising, lowering or blanking a few cells and updating around them must give what
// a new pass over the whole grid gives, marks included, whatever the marks held.
TEST(FlowDirectionPass, AnUpdateAroundChangedCellsMatchesANewPass) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const int ncols = 1 + static_cast<int>(random() % 12), nrows = 1 + static_cast<int>(random() % 12);
    std::vector<double> z;
    for (int i = 0; i < ncols * nrows; ++i) z.push_back(random() % 15 == 0 ? N : static_cast<double>(random() % 4));
    const Neighbourhood n = seed % 2 ? Neighbourhood::eight : Neighbourhood::four;
    Grid elevation = grid_of(ncols, nrows, z), directions = grid_of(ncols, nrows, z), marks = grid_of(ncols, nrows, z);
    compute_flow_directions(n, elevation, directions, marks);
    for (int row = 1; row <= nrows; ++row)
      for (int col = 1; col <= ncols; ++col) {
        if (random() % 3 == 0) marks(row, col) = static_cast<double>(random() % 3) + 1;  // labels left by sink runs
        if (random() % 6 != 0) continue;
        elevation(row, col) = random() % 5 == 0 ? N : static_cast<double>(random() % 4);
        marks(row, col) = kChangedCell;
      }
    update_flow_directions(n, elevation, directions, marks);
    const PassResult full = pass(n, ncols, nrows, testing::values_of(elevation));
    ASSERT_EQ(testing::values_of(directions), full.directions) << seed;
    ASSERT_EQ(testing::values_of(marks), full.marks) << seed;
  }
}

}  // namespace
}  // namespace orograd
