// Exit cells, reaches, the routing reach grid and the table of the routing records,
// on grids of a few cells.
#include <gtest/gtest.h>

#include <tuple>

#include "base/console.hpp"
#include "basins/routing_records.hpp"
#include "flow/flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

const std::string kHeader = "TG   UL   FZTSUM  FZT_in_h Laenge  hmin    hmax    accmin  accmax  Anzahl\n";

// Subbasin codes and directions as given; travel time 1, elevation 10 and
// accumulation 1 in every cell unless a test sets them; cell size 100.
struct Basins {
  Grid subbasins, directions;
  Grid accumulation, elevation, travel_times, reaches;
  Console console = Console::capturing();
  FlowWalker walker;

  Basins(int ncols, int nrows, const std::vector<double>& codes, const std::vector<double>& flow)
      : subbasins(grid_of(ncols, nrows, codes)),
        directions(grid_of(ncols, nrows, flow)),
        accumulation(Grid::allocate(ncols, nrows)),
        elevation(Grid::allocate(ncols, nrows)),
        travel_times(Grid::allocate(ncols, nrows)),
        reaches(Grid::allocate(ncols, nrows)),
        walker(FlowWalker::checked(directions, console)) {
    accumulation.fill(1);
    elevation.fill(10);
    travel_times.fill(1);
    reaches.fill(N);
  }

  std::vector<SubbasinRecord> build(const std::vector<int32_t>& codes_by_rank, int32_t mode = 1) {
    const RoutingInputs in{subbasins, walker, accumulation, elevation, travel_times, 100, 25, 10, mode};
    return build_routing_records(in, SubbasinRanks(codes_by_rank), reaches, console);
  }
};

// Subbasins 1 above 2 above 3 in one column flowing south; 3 drains off the grid.
// Row 4 has no travel time.
struct Chain : Basins {
  Chain() : Basins(1, 6, {1, 1, 2, 2, 3, 3}, {8, 8, 8, 8, 8, 8}) {
    elevation = grid_of(1, 6, {60, 50, 40, 30, 20, 10});
    accumulation = grid_of(1, 6, {1, 2, 3, 4, 5, 6});
    travel_times = grid_of(1, 6, {100, 200, 1800, N, 3600, 3600});
  }
};

TEST(BuildRoutingRecords, ReachesOfAChainEndAboveTheNextExitOrAtTheOutletsLastCell) {
  Chain b;
  b.build({1, 2, 3});
  // 1 routes through rows 3-4 (not 3's first cell, row 5), where row 4 adds only its
  // step; 2 routes through rows 5-6.
  EXPECT_EQ(b.console.captured(), kHeader +
                                      "    1    2  1800.0     0.5   200.0    40.0    40.0     2.0     3.0 1\n"
                                      "    2    3  7200.0     2.0   200.0    10.0    20.0     4.0     6.0 2\n"
                                      "    3    0     0.0     0.0     0.0     0.0     0.0     6.0     0.0 0\n");
  // The outlet's last cell ends 2's reach but is not claimed.
  EXPECT_EQ(values_of(b.reaches), (std::vector<double>{N, N, 1, N, 2, N}));
}

TEST(BuildRoutingRecords, ModeChoosesTheAccumulationOfTheDischargeAndOfTheArea) {
  // Subbasin 1 ends with accumulation 2 in row 2 and enters 2 at row 3 (accumulation 3).
  struct Case {
    int32_t mode;
    double discharge_cells, area_cells;
  };
  for (const Case c : {Case{1, 2, 2}, Case{2, 3, 2}, Case{3, 3, 3}}) {
    Chain b;
    const std::vector<SubbasinRecord> records = b.build({1, 2, 3}, c.mode);
    const double km2_per_cell = 100.0 * 100.0 / 1e6;
    EXPECT_DOUBLE_EQ(records[0].discharge, 10 * c.discharge_cells * km2_per_cell / 1000) << c.mode;
    EXPECT_DOUBLE_EQ(records[0].area, c.area_cells * km2_per_cell) << c.mode;
    EXPECT_EQ(records[2].discharge, 0) << "an outlet has no reach";
  }
}

TEST(BuildRoutingRecords, ASingleSubbasinPrintsProgressAndOneLineOfZeros) {
  std::vector<double> accumulation(100);
  for (int row = 1; row <= 100; ++row) accumulation[row - 1] = row;
  Basins b(1, 100, std::vector<double>(100, 5), std::vector<double>(100, 8));
  b.accumulation = grid_of(1, 100, accumulation);
  const std::vector<SubbasinRecord> records = b.build({5});
  EXPECT_EQ(b.console.captured(), "Structure -> row 50\nStructure -> row 100\n" + kHeader +
                                      "    5    0     0.0     0.0     0.0     0.0     0.0   100.0     0.0 0\n");
  EXPECT_EQ(records[0].exit_row, 100);
  EXPECT_EQ(values_of(b.reaches), std::vector<double>(100, N));
}

// A (1) enters the river of D (3) at (2, 2), B (2) one cell lower at (3, 2); both
// reaches run through (3, 2). D leaves the grid from (4, 2).
TEST(BuildRoutingRecords, TheLargerExitAccumulationOwnsSharedReachCellsAndOnATieTheLaterRank) {
  struct Case {
    double acc_a, acc_b;
    std::vector<int32_t> codes_by_rank;
    double owner;
  };
  const Case cases[] = {{5, 3, {1, 2, 3}, 1}, {5, 3, {2, 1, 3}, 1}, {3, 5, {1, 2, 3}, 2},
                        {3, 5, {2, 1, 3}, 2}, {4, 4, {1, 2, 3}, 2}, {4, 4, {2, 1, 3}, 1}};
  for (const Case& c : cases) {
    Basins b(3, 4, {1, N, N, N, 3, 2, N, 3, N, N, 3, N}, {4, 0, 0, 0, 8, 16, 0, 8, 0, 0, 8, 0});
    b.accumulation(2, 2) = c.acc_a;
    b.accumulation(3, 2) = c.acc_b;
    b.build(c.codes_by_rank);
    EXPECT_EQ(values_of(b.reaches), (std::vector<double>{N, N, N, N, 1, N, N, c.owner, N, N, N, N}))
        << c.acc_a << " " << c.acc_b << " rank 1: " << c.codes_by_rank[0];
  }
}

// Subbasin 1 flows east from (1, 1) through (1, 2), which holds `code` and `flow`,
// towards subbasin 2 at (1, 3); accumulations are the column numbers.
TEST(BuildRoutingRecords, ExitWalksEndAtCellsWithoutAValidStepAndOutsideTheSubbasins) {
  struct Case {
    double code, flow;
    int32_t exit_col, downstream;
  };
  const Case cases[] = {
      {1, 0, 2, 0},   // no direction: the cell is the exit
      {1, 3, 2, 0},   // not a direction code
      {1, 32, 2, 0},  // back into (1, 1): the cycle is cut at (1, 2)
      {N, N, 1, 0},   // nodata direction ahead: the exit stays the last own cell
      {N, 2, 2, 0},   // no subbasin, a valid direction: the exit leads nowhere
      {-5, 2, 2, 0},  // a negative value is no subbasin either
      {0, 2, 2, 0},
      {2, 2, 2, 2},   // the first cell of subbasin 2
      {1, 2, 3, 2},
  };
  for (const Case& c : cases) {
    Basins b(3, 1, {1, c.code, 2}, {2, c.flow, 2});
    b.accumulation = grid_of(3, 1, {1, 2, 3});
    const SubbasinRecord r = b.build({1, 2})[0];
    // acc_outlet is the accumulation of the last cell of subbasin 1 on the way.
    EXPECT_EQ(std::tuple(r.exit_row, r.exit_col, r.downstream, r.acc_outlet),
              std::tuple(1, c.exit_col, c.downstream, c.code == 1 ? 2.0 : 1.0))
        << c.code << " " << c.flow;
  }
}

// Subbasin 1 enters subbasin 2 at (2, 3), a cell apart from 2's exit (2, 1), and its
// reach walk goes on by the code `flow` of (2, 3). (2, 2) belongs to no subbasin and
// has no direction.
TEST(BuildRoutingRecords, ReachWalksEndWithoutAStepAtInvalidCodesAndAfterTheStepOffTheGrid) {
  struct Case {
    double flow;
    double length;
    int32_t cells;
  };
  const Case cases[] = {{0, 0, 1}, {3, 0, 1}, {2, 100, 1}, {8, 100, 1}, {4, 100 * 1.4142, 1}, {32, 100, 2}};
  for (const Case& c : cases) {
    Basins b(3, 2, {2, N, 1, 2, N, 2}, {8, 0, 8, 8, 0, c.flow});
    const SubbasinRecord reach = b.build({2, 1})[1];
    EXPECT_DOUBLE_EQ(reach.length, c.length) << c.flow;
    EXPECT_EQ(std::tuple(reach.downstream, reach.cell_count, reach.travel_time_sum), std::tuple(2, c.cells, c.cells))
        << c.flow;
    // A reach of length 0 counts as flat.
    EXPECT_EQ(reach.sqrt_slope, 0.031622) << c.flow;
  }
}

// Subbasin 1 (accumulation 7) enters the one-cell outlet 2 (accumulation 3), which
// drains off the grid: the entry is the final cell of the reach and counts once.
TEST(BuildRoutingRecords, AnEntryThatIsTheOutletsExitCellCountsOnce) {
  for (const double travel_time : {5.0, 0.0}) {
    Basins b(2, 1, {1, 2}, {2, 2});
    b.accumulation = grid_of(2, 1, {7, 3});
    b.travel_times = grid_of(2, 1, {1, travel_time});
    const SubbasinRecord reach = b.build({1, 2})[0];
    // Accumulation 3 at the final cell lowers acc_outlet.
    EXPECT_EQ(std::tuple(reach.cell_count, reach.travel_time_sum, reach.length, reach.acc_outlet),
              std::tuple(1, travel_time, 100.0, 3.0))
        << travel_time;
    EXPECT_EQ(values_of(b.reaches), (std::vector<double>{N, N})) << travel_time;
  }
}

}  // namespace
}  // namespace orograd
