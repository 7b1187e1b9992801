// Link numbering and tracing, and the redirection of the ring around confluences.
#include <gtest/gtest.h>

#include <cmath>

#include "base/console.hpp"
#include "flow/flow_test_grids.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

constexpr double kDiagonal = 10 * 1.4142135;  // a diagonal step at cell size 10

// Two pairs of sources meet in (2, 2) and (2, 6); both streams join in (3, 4), which
// leaves the grid through (4, 4). The hillslope cell (1, 2) drains into (2, 2).
struct TwoPairs {
  Grid directions = grid_of(7, 4, {4, 8, 16, 0, 4, 0, 16,  //
                                   0, 4, 0, 0, 0, 16, 0,   //
                                   0, 0, 2, 8, 32, 0, 0,   //
                                   0, 0, 0, 8, 0, 0, 0});
  Grid network = grid_of(7, 4, {1, N, 1, N, 1, N, 1,  //
                                N, 1, N, N, N, 1, N,  //
                                N, N, 1, 1, 1, N, N,  //
                                N, N, N, 1, N, N, N});
  Grid orders = Grid::allocate(7, 4), links = Grid::allocate(7, 4);
  Console console = Console::capturing();
  FlowWalker walker = FlowWalker::checked(directions, console);
  TwoPairs() { normalise_river_grids(network, orders, links); }
};

TEST(NumberRiverLinks, NumbersLinksInRowMajorOrderOfTheirFirstCells) {
  TwoPairs g;
  EXPECT_EQ(number_river_links(g.walker, g.directions, g.network, g.orders, g.links, 10, g.console), 7);
  EXPECT_EQ(values_of(g.links), (std::vector<double>{1, N, 2, N, 3, N, 4,  //
                                                     N, 5, N, N, N, 6, N,  //
                                                     N, N, 5, 7, 6, N, N,  //
                                                     N, N, N, 7, N, N, N}));
  EXPECT_EQ(g.console.captured(), "MMM");
  // The confluence (2, 2) flows south-east; its tributaries sit north-west and
  // north-east, so the cell between them, north, turns west into the earlier one.
  EXPECT_EQ(g.directions(1, 2), 32);
}

TEST(NumberRiverLinks, ANetworkWithoutConfluencesHasOneLinkPerSource) {
  // Two sources; the cell (2, 2) below the first has one inflow and continues its link.
  Grid directions = grid_of(3, 2, {8, 8, 8,  //
                                   2, 8, 8});
  Grid network = grid_of(3, 2, {1, N, 1,  //
                                1, 1, 1});
  Grid orders = Grid::allocate(3, 2), links = Grid::allocate(3, 2);
  Console console = Console::capturing();
  FlowWalker walker = FlowWalker::checked(directions, console);
  normalise_river_grids(network, orders, links);
  EXPECT_EQ(number_river_links(walker, directions, network, orders, links, 10, console), 2);
  EXPECT_EQ(values_of(links), (std::vector<double>{1, N, 2, 1, 1, 2}));
  EXPECT_EQ(console.captured(), "");
}

// Lengths count every step taken, the one into the confluence or off the grid
// included; the last cell is the one the trace labelled last.
TEST(TraceLink, LengthEndsAtTheConfluenceOrTheEdge) {
  struct Case {
    int32_t row, col;
    double length;
    int32_t last_row, last_col;
  };
  const Case cases[] = {{1, 1, kDiagonal, 1, 1},           // into the confluence (2, 2)
                        {2, 2, kDiagonal + 10, 3, 3},      // from a confluence to the next
                        {3, 4, 20, 4, 4},                  // off the southern edge
                        {1, 5, kDiagonal, 1, 5}};
  for (const Case& c : cases) {
    TwoPairs g;
    const Grid elevation = grid_of(7, 4, std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                                             14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27});
    const LinkTrace trace = trace_link(g.walker, g.network, g.links, c.row, c.col, 9, 10, &elevation);
    EXPECT_DOUBLE_EQ(trace.length, c.length) << c.row << "," << c.col;
    EXPECT_EQ(trace.elevation, elevation(c.last_row, c.last_col)) << c.row << "," << c.col;
  }
}

TEST(TraceLink, AStraightRiverToTheEdgeIsOneLinkOfAllItsSteps) {
  for (const double code : {2.0, 4.0}) {
    const int n = 4;
    Grid directions = Grid::allocate(n, n), network = Grid::allocate(n, n), links = Grid::allocate(n, n);
    network.fill(N);
    links.fill(N);
    for (int k = 1; k <= n; ++k) {
      const int row = code == 2 ? 1 : k;
      directions(row, k) = code;
      network(row, k) = 1;
      links(row, k) = 0;
    }
    Console console = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(directions, console);
    const LinkTrace trace = trace_link(walker, network, links, 1, 1, 1, 10);
    EXPECT_DOUBLE_EQ(trace.length, n * 10 * (code == 2 ? 1 : 1.4142135)) << code;
    EXPECT_EQ(links(code == 2 ? 1 : n, n), 1) << code;
  }
}

// The ring of a confluence in the middle of a 3x3 grid: tributaries at the given
// positions (1 north-east, clockwise to 8 north), hillslope cells 0 elsewhere.
struct RingCase {
  double own_code;
  std::vector<int> tributaries;
  std::vector<int> rivers;  // further positions holding river cells, not tributaries
  std::vector<int> nodata;  // positions whose direction is nodata
  std::vector<double> expected;  // the eight ring codes after the redirection
};

std::vector<double> redirected_ring(const RingCase& c) {
  Grid directions = Grid::allocate(3, 3), orders = Grid::allocate(3, 3);
  orders.fill(N);
  directions(2, 2) = c.own_code;
  orders(2, 2) = 1;
  RingPositions inflows = 0;
  const auto cell = [](int position) { return kDirections[static_cast<std::size_t>(position - 1)]; };
  for (int p : c.tributaries) {
    directions(2 + cell(p).row_offset, 2 + cell(p).col_offset) = cell(p).opposite;
    orders(2 + cell(p).row_offset, 2 + cell(p).col_offset) = 1;
    inflows |= 1U << (p - 1);
  }
  for (int p : c.rivers) orders(2 + cell(p).row_offset, 2 + cell(p).col_offset) = 2;
  for (int p : c.nodata) directions(2 + cell(p).row_offset, 2 + cell(p).col_offset) = N;
  redirect_confluence(directions, orders, 2, 2, inflows);
  std::vector<double> ring;
  for (int p = 1; p <= 8; ++p) ring.push_back(directions(2 + cell(p).row_offset, 2 + cell(p).col_offset));
  return ring;
}

TEST(RedirectConfluence, TurnsTheWedgesBetweenTributariesTowardsThem) {
  const RingCase cases[] = {
      // outflow 3, tributaries 1 and 5: 6 and 7 turn back, 8 forward; 2 and 4 keep
      {4, {1, 5}, {}, {}, {16, 0, 0, 0, 1, 8, 8, 2}},
      // outflow 2, tributaries 4 and 8: 5 and 6 turn back, 7 forward
      {2, {4, 8}, {}, {}, {0, 0, 0, 128, 2, 8, 2, 8}},
      // the same with a river cell at 6 and a cell without data at 7: both keep theirs
      {2, {4, 8}, {6}, {7}, {0, 0, 0, 128, 2, 0, N, 8}},
      // adjacent tributaries leave nothing between them
      {128, {1, 2}, {}, {}, {16, 32, 0, 0, 0, 0, 0, 0}},
      // three tributaries make two wedges, 2 and 3 between 1 and 4, 5 and 6 between 4 and 7
      {128, {1, 4, 7}, {}, {}, {16, 128, 32, 128, 2, 128, 4, 0}},
      // no own code: the scan runs from position 1 to 7, as after an outflow at 8, so
      // the cell at 1 between tributaries at 8 and 2 keeps its code
      {0, {8, 2}, {}, {}, {0, 32, 0, 0, 0, 0, 0, 8}},
      {0, {1, 4}, {}, {}, {16, 128, 32, 128, 0, 0, 0, 0}},
  };
  for (const RingCase& c : cases) EXPECT_EQ(redirected_ring(c), c.expected) << "own code " << c.own_code;
}

}  // namespace
}  // namespace orograd
