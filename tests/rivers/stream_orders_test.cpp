// Strahler orders on small trees, and the traversal in flow order against the plain
// procedure that raises orders pass by pass.
#include <gtest/gtest.h>

#include <random>

#include "base/console.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow/flow_test_grids.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/stream_orders.hpp"
#include "terrain.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

// Raises the cell and the cells below it to `order`, until a cell that is no river
// cell or has that order already.
void raise_order_downstream(const FlowWalker& walker, Grid& orders, int32_t row, int32_t col, double order) {
  while (orders(row, col) != kNodata && orders(row, col) < order) {
    orders(row, col) = order;
    const Step step = walker.step(row, col);
    if (step.kind == StepKind::off_grid) return;
    if (step.kind == StepKind::moved) {
      row = step.row;
      col = step.col;
    }
  }
}

// Pass a raises every cell of order a into which two cells of order a flow; passes go
// on while one raised anything.
void compute_stream_orders_by_passes(const FlowWalker& walker, Grid& orders) {
  for (double a = 1;; ++a) {
    int raised = 0;
    for (int32_t row = 1; row <= orders.nrows(); ++row)
      for (int32_t col = 1; col <= orders.ncols(); ++col) {
        if (orders(row, col) != a) continue;
        int inflows = 0;
        walker.for_each_inflow(row, col, [&](std::size_t, int32_t r, int32_t c) { inflows += orders(r, c) == a; });
        if (inflows >= 2) {
          raise_order_downstream(walker, orders, row, col, a + 1);
          ++raised;
        }
      }
    if (raised == 0) return;
  }
}

// Orders by the traversal, checked against the passes; `rivers` holds 1 on river cells.
std::vector<double> stream_orders(const Grid& directions, const Grid& rivers) {
  Console console = Console::capturing();
  const FlowWalker walker = FlowWalker::checked(directions, console);
  Grid fast = Grid::allocate(rivers.ncols(), rivers.nrows()), plain = Grid::allocate(rivers.ncols(), rivers.nrows());
  for (int32_t row = 1; row <= rivers.nrows(); ++row)
    for (int32_t col = 1; col <= rivers.ncols(); ++col) fast(row, col) = plain(row, col) = rivers(row, col);
  compute_stream_orders(walker, fast);
  compute_stream_orders_by_passes(walker, plain);
  EXPECT_EQ(values_of(fast), values_of(plain));
  return values_of(fast);
}

TEST(StreamOrders, RaiseBelowConfluencesOfEqualOrders) {
  // Sources in columns 1 and 3 join in (3, 2); a stream of order 1 from column 4
  // joins it lower down in (5, 3), which leaves the order at 2.
  const Grid directions = grid_of(4, 5, {8, N, 8, N,   //
                                         4, N, 16, N,  //
                                         N, 4, N, 8,   //
                                         N, N, 8, 16,  //
                                         N, N, 8, N});
  const Grid rivers = grid_of(4, 5, {1, N, 1, N,  //
                                     1, N, 1, N,  //
                                     N, 1, N, 1,  //
                                     N, N, 1, 1,  //
                                     N, N, 1, N});
  EXPECT_EQ(stream_orders(directions, rivers), (std::vector<double>{1, N, 1, N,  //
                                                                    1, N, 1, N,  //
                                                                    N, 2, N, 1,  //
                                                                    N, N, 2, 1,  //
                                                                    N, N, 2, N}));
}

TEST(StreamOrders, TwoStreamsOfOrderTwoMakeThree) {
  // Two pairs of sources meet in (2, 2) and (2, 6); both order-2 streams join in
  // (3, 4) and leave through (4, 4).
  const Grid directions = grid_of(7, 4, {4, N, 16, N, 4, N, 16,  //
                                         N, 4, N, N, N, 16, N,   //
                                         N, N, 2, 8, 32, N, N,   //
                                         N, N, N, 8, N, N, N});
  const Grid rivers = grid_of(7, 4, {1, N, 1, N, 1, N, 1,  //
                                     N, 1, N, N, N, 1, N,  //
                                     N, N, 1, 1, 1, N, N,  //
                                     N, N, N, 1, N, N, N});
  const std::vector<double> orders = stream_orders(directions, rivers);
  EXPECT_EQ(orders[8], 2);
  EXPECT_EQ(orders[16], 2);
  EXPECT_EQ(orders[17], 3);
  EXPECT_EQ(orders[24], 3);
}

// Random codes (with 0, nodata, an invalid value and cycles) and river masks, and real
// networks of terrains: the traversal gives the orders of the passes.
TEST(StreamOrders, TraversalMatchesThePassesOnRandomAndRealNetworks) {
  std::mt19937 random(11);
  const double codes[] = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128, 0, N, 5};
  for (int trial = 0; trial < 40; ++trial) {
    const int ncols = 2 + static_cast<int>(random() % 12), nrows = 2 + static_cast<int>(random() % 12);
    Grid directions = Grid::allocate(ncols, nrows), rivers = Grid::allocate(ncols, nrows);
    for (int r = 1; r <= nrows; ++r)
      for (int c = 1; c <= ncols; ++c) {
        directions(r, c) = codes[random() % std::size(codes)];
        rivers(r, c) = random() % 5 != 0 ? 1 : N;
      }
    stream_orders(directions, rivers);
  }
  for (uint64_t seed : {1, 2, 3}) {
    TerrainOptions options;
    options.ncols = 70;
    options.nrows = 150;  // several bands of rows for the threads
    options.seed = seed;
    options.nodata_margin = 3;
    Grid elevation = make_terrain(options);
    Grid directions = Grid::allocate(70, 150), regions = Grid::allocate(70, 150);
    Grid accumulation = Grid::allocate(70, 150), rivers = Grid::allocate(70, 150);
    Console console = Console::capturing();
    round_elevations(elevation);
    derive_flow_directions(Neighbourhood::eight, elevation, directions, regions, console);
    accumulate_flow(directions, 5, accumulation, console);
    Grid orders = Grid::allocate(70, 150), links = Grid::allocate(70, 150);
    init_river_grids(accumulation, 5, rivers, orders, links);
    const std::vector<double> result = stream_orders(directions, rivers);
    EXPECT_GE(*std::max_element(result.begin(), result.end()), 3) << "a network worth comparing";
  }
}

}  // namespace
}  // namespace orograd
