#include "flow/sink_groups.hpp"

#include <gtest/gtest.h>

#include "flow/flow_direction_pass.hpp"
#include "flow/sink_region_labels.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::N;

// Pits at (2, 2) and (2, 4), and whether their regions are put in one group.
struct Case {
  const char* what;
  int ncols, nrows;
  std::vector<double> dem;
  bool one_group;
};

// Regions meet only when both basins fill up to the saddle between them: not when one
// spills over it into the other, whose own outlet is lower, nor when each has a lower
// outlet of its own. An outlet may lead off the grid or into nodata; the level a basin
// fills to is the highest saddle on its way out, not the first.
TEST(GroupSinkRegions, RegionsShareAGroupWhenBothBasinsFillToTheirSaddle) {
  const Case cases[] = {
      {"both rise to the rim, over the saddle", 5, 3, {9, 9, 9, 9, 9, 9, 4, 6, 1, 9, 9, 9, 9, 9, 9}, true},
      {"the lower pit drains off the grid below the saddle", 5, 3,
       {9, 9, 9, 9, 9, 9, 4, 6, 1, 2, 9, 9, 9, 9, 9}, false},
      {"each pit has an outlet below the saddle", 5, 3, {9, 9, 9, 9, 9, 3, 1, 7, 1, 4, 9, 9, 9, 9, 9}, false},
      {"the lower pit drains into nodata", 6, 3, {9, 9, 9, 9, 9, 9, 9, 4, 6, 1, 2, N, 9, 9, 9, 9, 9, 9}, false},
      {"a third pit between them fills over both saddles to the outlet beyond", 7, 3,
       {9, 9, 9, 9, 9, 9, 9, 9, 2, 7, 3, 6, 1, 8, 9, 9, 9, 9, 9, 9, 9}, true},
      {"the saddle lies at the shared outlet's level", 6, 3,
       {9, 9, 9, 9, 9, 9, 9, 1, 5, 1, 5, 9, 9, 9, 9, 9, 5, 9}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Grid elevation = testing::grid_of(c.ncols, c.nrows, c.dem);
    Grid directions = Grid::allocate(c.ncols, c.nrows), labels = Grid::allocate(c.ncols, c.nrows);
    compute_flow_directions(Neighbourhood::eight, elevation, directions, labels);
    const int64_t count = label_sink_regions(Neighbourhood::eight, labels);
    ASSERT_GE(count, 2);
    const std::vector<int64_t> group = group_sink_regions(Neighbourhood::eight, elevation, directions, labels, count);
    const auto group_at = [&](int col) { return group[static_cast<std::size_t>(labels(2, col))]; };
    EXPECT_EQ(group_at(2) == group_at(4), c.one_group);
    EXPECT_GE(std::min(group_at(2), group_at(4)), 1);
  }
}

}  // namespace
}  // namespace orograd
