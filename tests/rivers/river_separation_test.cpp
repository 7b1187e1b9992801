// The river network by threshold, and the networks of one order and higher with the
// last cell of each link.
#include <gtest/gtest.h>

#include "base/console.hpp"
#include "flow/flow_test_grids.hpp"
#include "rivers/river_grids.hpp"
#include "rivers/river_links.hpp"
#include "rivers/river_network.hpp"
#include "rivers/river_separation.hpp"
#include "rivers/stream_orders.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

TEST(MarkRiverCells, CountsAboveTheThresholdAfterTruncation) {
  const Grid accumulation = grid_of(6, 1, {5, 5.9, 6, N, 3e10, -1});
  Grid network = Grid::allocate(6, 1);
  mark_river_cells(accumulation, 5, network);
  EXPECT_EQ(values_of(network), (std::vector<double>{N, N, 1, N, 1, N}));
  mark_river_cells(accumulation, -2, network);
  EXPECT_EQ(values_of(network), (std::vector<double>{1, 1, 1, N, 1, 1}));
}

// Orders 1 in the four sources of two pairs, 2 below each pair, 3 below their
// confluence (3, 4), which leaves the grid through (4, 4).
struct Separation {
  Grid directions = grid_of(7, 4, {4, 0, 16, 0, 4, 0, 16,  //
                                   0, 4, 0, 0, 0, 16, 0,   //
                                   0, 0, 2, 8, 32, 0, 0,   //
                                   0, 0, 0, 8, 0, 0, 0});
  Grid orders = Grid::allocate(7, 4), links = Grid::allocate(7, 4), network = Grid::allocate(7, 4);
  Console console = Console::capturing();
  FlowWalker walker = FlowWalker::checked(directions, console);

  Separation() {
    network = grid_of(7, 4, {1, N, 1, N, 1, N, 1,  //
                             N, 1, N, N, N, 1, N,  //
                             N, N, 1, 1, 1, N, N,  //
                             N, N, N, 1, N, N, N});
    normalise_river_grids(network, orders, links);
    compute_stream_orders(walker, orders);
  }

  std::vector<double> outlets_from(double order) {
    if (select_rivers_from_order(orders, order, network, links) == 0) return {};
    number_river_links(walker, directions, network, orders, links, 1, console);
    mark_link_outlets(walker, links, network);
    return values_of(network);
  }
};

TEST(RiverSeparation, EachLinkOfTheReducedNetworkEndsInItsNumber) {
  Separation s;
  EXPECT_EQ(highest_stream_order(s.orders), 3);
  EXPECT_EQ(s.outlets_from(1), (std::vector<double>{1, N, 2, N, 3, N, 4,  //
                                                    N, N, N, N, N, N, N,  //
                                                    N, N, 5, N, 6, N, N,  //
                                                    N, N, N, 7, N, N, N}));
  // From order 2 the pairs' sources are gone: (2, 2) and (2, 6) start links.
  EXPECT_EQ(s.outlets_from(2), (std::vector<double>{N, N, N, N, N, N, N,  //
                                                    N, N, N, N, N, N, N,  //
                                                    N, N, 1, N, 2, N, N,  //
                                                    N, N, N, 3, N, N, N}));
  EXPECT_EQ(s.outlets_from(3)[24], 1);
  EXPECT_TRUE(s.outlets_from(4).empty());
}

TEST(RiverSeparation, NodataOrdersNeverQualify) {
  const Grid orders = grid_of(3, 1, {N, 1, 2});
  Grid network = Grid::allocate(3, 1), links = Grid::allocate(3, 1);
  EXPECT_EQ(select_rivers_from_order(orders, -10000, network, links), 2);
  EXPECT_EQ(values_of(links), (std::vector<double>{N, 0, 0}));
  EXPECT_EQ(highest_stream_order(grid_of(2, 1, {N, N})), N);
}

}  // namespace
}  // namespace orograd
