// River mask, link table and link tracing of the travel times, and the cell values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "basins/travel_times.hpp"
#include "flow/flow_test_grids.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::expect_fatal;
using testing::grid_of;
using testing::N;
using testing::values_of;

TEST(MaskRiversFromLinks, CellsOfZeroOrMoreAreRiversAndNaNIsNot) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Grid links = grid_of(3, 2, {3, -1, 0, N, nan, 2.5}), network = Grid::allocate(3, 2);
  EXPECT_EQ(mask_rivers_from_links(links, network), 3);
  EXPECT_EQ(values_of(links), (std::vector<double>{0, N, 0, N, N, 0}));
  EXPECT_EQ(values_of(network), (std::vector<double>{1, N, 1, N, N, 1}));
}

TEST(MakeLinkTable, HoldsTheLargestLinkCutToAWholeNumber) {
  EXPECT_EQ(make_link_table(0).size(), 1U);
  EXPECT_EQ(make_link_table(2.9).size(), 3U);
  // Link numbers no table (or no table in this machine's memory) can hold end the run
  // before anything is allocated.
  for (const double largest : {1e30, 0x1p62, 1e12, std::numeric_limits<double>::infinity()}) {
    const FatalError error = expect_fatal([&] { make_link_table(largest); });
    EXPECT_EQ(error.code(), 2) << largest;
    EXPECT_STREQ(error.what(), "error allocatin memory for flow time table\n");
  }
}

// Sources (1, 1) and (1, 3) meet in (2, 2), which flows off the grid through (3, 2).
// The hillslope cell (1, 2) between the tributaries flows into the confluence.
struct Confluence {
  Grid directions = grid_of(3, 3, {4, 8, 16,  //
                                   0, 8, 0,   //
                                   0, 8, 0});
  Grid elevation = grid_of(3, 3, {30, 29, 28,  //
                                  25, 20, 25,  //
                                  15, 10, 15});
  Grid accumulation = grid_of(3, 3, {1, 1, 1,  //
                                     0, 4, 0,  //
                                     0, 5, 0});
  Grid links = grid_of(3, 3, {7, N, 7,  //
                              N, 7, N,  //
                              N, 7, N});
  Grid network = Grid::allocate(3, 3);
  Console console = Console::capturing();
  FlowWalker walker = FlowWalker::checked(directions, console);

  int64_t trace(std::vector<LinkRecord>& table) {
    mask_rivers_from_links(links, network);
    return trace_river_links(walker, network, links, elevation, accumulation, 10, table);
  }
};

TEST(TraceRiverLinks, RecordsFirstAndLastCellsWithoutRedirecting) {
  Confluence g;
  std::vector<LinkRecord> table(8);
  ASSERT_EQ(g.trace(table), 3);
  EXPECT_EQ(values_of(g.links), (std::vector<double>{1, N, 2, N, 3, N, N, 3, N}));
  // h_top, h_bottom, acc_top, acc_bottom and length of links 1 to 3
  const double diagonal = 10 * 1.4142135;
  const std::vector<std::array<double, 5>> expected{
      {30, 30, 1, 1, diagonal}, {28, 28, 1, 1, diagonal}, {20, 10, 4, 5, 20}};
  for (std::size_t n = 1; n <= 3; ++n) {
    const LinkRecord& r = table[n];
    EXPECT_EQ((std::array<double, 5>{r.h_top, r.h_bottom, r.acc_top, r.acc_bottom, r.length}), expected[n - 1]) << n;
  }
  EXPECT_EQ(table[4].length, 0);
  EXPECT_EQ(g.directions(1, 2), 8);
  EXPECT_EQ(g.console.captured(), "");
}

TEST(TraceRiverLinks, MoreLinksThanTheTableHoldsEndTheRunBeforeTheNextIsLabelled) {
  Confluence g;
  std::vector<LinkRecord> table(3);
  const FatalError error = expect_fatal([&] { g.trace(table); });
  EXPECT_EQ(error.code(), 1);
  EXPECT_STREQ(error.what(),
               "Error! the input grid containing the river network should be the river link grid\n"
               "(or another grid containing at least as much zones as there are river channels)\n");
  EXPECT_EQ(g.links(2, 2), 0);
}

// Cell size 25. Overland cells take their slope's velocity, at least 0.1 m/s; a river
// cell takes its link's velocity and channel; a cell outside the elevation model is
// nodata in all three outputs, also on a river.
TEST(AssignTravelTimes, CellValues) {
  const Grid elevation = grid_of(4, 2, {1, 1, 1, 1,  //
                                        1, N, 1, 1});
  const Grid slope = grid_of(4, 2, {0, 0, N, 95,  //
                                    30, 5, 5, 1});
  const Grid directions = grid_of(4, 2, {2, 4, 8, 2,  //
                                         2, 4, 4, 2});
  Grid links = grid_of(4, 2, {N, N, N, N,  //
                              N, 1, 1, N});
  std::vector<LinkRecord> table(2);
  table[1].sqrt_slope = 0.2;  // m = 5
  table[1].discharge = 0.1;
  table[1].hydraulic_radius = 0.1;
  table[1].velocity = 0.5;
  Grid network = Grid::allocate(4, 2), travel_time = Grid::allocate(4, 2), depth = Grid::allocate(4, 2),
       width = Grid::allocate(4, 2);
  TravelTimeOutputs out{links, network, travel_time, depth, width};
  assign_travel_times({elevation, slope, directions, elevation}, table, 25, out);

  const double diagonal = 25 * 1.4142136;
  // 5 * 0.01^0.66667 * sqrt(tan 30°) = 0.17634 m/s; 1° gives 0.031 m/s, below the floor
  const std::vector<double> times{250, diagonal / 0.1, 250, 250, 25 / 0.1763395347627234, N, diagonal / 0.5, 250};
  const double river_depth = (0.1 / 0.5) / (7 * 0.1);
  const std::vector<double> depths{N, N, N, N, N, N, river_depth, N};
  const std::vector<double> widths{N, N, N, N, N, N, 5 * river_depth, N};
  const std::vector<double> got_times = values_of(travel_time), got_depths = values_of(depth),
                            got_widths = values_of(width);
  for (std::size_t i = 0; i < times.size(); ++i) {
    EXPECT_NEAR(got_times[i], times[i], 1e-9) << i;
    EXPECT_NEAR(got_depths[i], depths[i], 1e-12) << i;
    EXPECT_NEAR(got_widths[i], widths[i], 1e-12) << i;
  }
}

}  // namespace
}  // namespace orograd
