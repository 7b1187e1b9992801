// Flow times to the subbasin outlets, against walks down from every cell.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "base/console.hpp"
#include "basins/subbasin_flow_times.hpp"
#include "flow/flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

// Walks down from each cell in row-major order, adding travel times until the path
// leaves the subbasin or meets a cell whose flow time an earlier walk made positive.
void flow_times_by_walks(const FlowWalker& walker, const Grid& subbasins, const Grid& travel, Grid& flow,
                         Console& console) {
  for (int32_t i = 1; i <= subbasins.nrows(); ++i)
    for (int32_t j = 1; j <= subbasins.ncols(); ++j) {
      if (subbasins(i, j) == N) {
        flow(i, j) = N;
        continue;
      }
      for (int32_t r = i, c = j; subbasins(r, c) == subbasins(i, j);) {
        if (flow(r, c) > 0 && (r != i || c != j)) {
          flow(i, j) += flow(r, c);
          break;
        }
        flow(i, j) += travel(r, c);
        const Step step = walker.step(r, c);
        if (step.kind == StepKind::no_direction) console.print("Fliessrichtung ist 0 in Zeile %d, %d\n", r, c);
        if (step.kind != StepKind::moved) break;
        r = step.row;
        c = step.col;
      }
    }
}

TEST(SubbasinFlowTimes, SumTravelTimesDownToTheOutlet) {
  // Two subbasins along a river flowing east; the last cell of each is its outlet.
  const Grid directions = grid_of(4, 1, {2, 2, 2, 2});
  const Grid subbasins = grid_of(4, 1, {1, 1, 2, 2});
  const Grid travel = grid_of(4, 1, {10, 20, 40, 80});
  Grid flow = Grid::allocate(4, 1);
  Console console = Console::capturing();
  compute_subbasin_flow_times(FlowWalker::checked(directions, console), subbasins, travel, flow, console);
  EXPECT_EQ(values_of(flow), (std::vector<double>{30, 20, 120, 80}));
}

// Random codes with direction 0, invalid values and cycles, random subbasins and
// travel times, some of them 0: the same times (up to the order of the sums) and the
// same console lines as the walks. The last trials have larger grids mostly flowing
// east and south, in three bands of subbasins and without direction 0: the threads
// share their rows, and their walks meet on long paths.
TEST(SubbasinFlowTimes, MatchWalksDownFromEveryCell) {
  std::mt19937 random(5);
  const double codes[] = {1, 2, 4, 8, 16, 32, 64, 128, 2, 8, 0, 0, N, 3};
  const double codes_without_0[] = {1, 2, 2, 2, 2, 4, 4, 4, 8, 128, N};
  const double codes_of_subbasins[] = {N, 1, 2, 2, 3, 3, 3};
  for (int trial = 0; trial < 70; ++trial) {
    const bool large = trial >= 60;
    const int ncols = 1 + static_cast<int>(random() % (large ? 90 : 10)),
              nrows = 1 + static_cast<int>(random() % (large ? 90 : 10));
    Grid directions = Grid::allocate(ncols, nrows), subbasins = Grid::allocate(ncols, nrows),
         travel = Grid::allocate(ncols, nrows);
    for (int r = 1; r <= nrows; ++r)
      for (int c = 1; c <= ncols; ++c) {
        directions(r, c) = large ? codes_without_0[random() % std::size(codes_without_0)]
                                 : codes[random() % std::size(codes)];
        subbasins(r, c) = !large                ? codes_of_subbasins[random() % std::size(codes_of_subbasins)]
                          : random() % 40 == 0 ? N
                                               : 1 + (c - 1) * 3 / ncols;
        travel(r, c) = random() % 5 == 0 ? 0 : 0.1 * static_cast<double>(random() % 1000);
      }
    Console check = Console::capturing(), fast_console = Console::capturing(), walks_console = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(directions, check);
    Grid fast = Grid::allocate(ncols, nrows), walks = Grid::allocate(ncols, nrows);
    compute_subbasin_flow_times(walker, subbasins, travel, fast, fast_console);
    flow_times_by_walks(walker, subbasins, travel, walks, walks_console);
    EXPECT_EQ(fast_console.captured(), walks_console.captured());
    const std::vector<double> a = values_of(fast), b = values_of(walks);
    for (std::size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k], b[k], 1e-12 * std::abs(b[k])) << trial << ", " << k;
  }
}

}  // namespace
}  // namespace orograd
