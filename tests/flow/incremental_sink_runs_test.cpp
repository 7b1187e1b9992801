// The incremental sink runs must reproduce the plain loop exactly: every console line,
// the filled elevations, the directions and the region labels.
#include <gtest/gtest.h>

#include <random>

#include "base/console.hpp"
#include "flow/depressionless_directions.hpp"
#include "flow/incremental_sink_runs.hpp"
#include "flow/sink_filling.hpp"
#include "flow_test_grids.hpp"
#include "terrain.hpp"

namespace orograd {
namespace {

using testing::values_of;

struct Outcome {
  std::string console;
  std::vector<double> elevation, directions, regions;
};

// The grids of a derivation from `dem`, its elevations rounded as the section does.
struct Model {
  explicit Model(const Grid& dem)
      : elevation(testing::grid_of(dem.ncols(), dem.nrows(), values_of(dem))),
        directions(Grid::allocate(dem.ncols(), dem.nrows())),
        regions(Grid::allocate(dem.ncols(), dem.nrows())) {
    round_elevations(elevation);
  }
  Grid elevation, directions, regions;
  Console console = Console::capturing();
};

Outcome derive(Neighbourhood n, const Grid& dem, SinkRunMode mode) {
  Model model(dem);
  derive_flow_directions(n, model.elevation, model.directions, model.regions, model.console, mode);
  return {model.console.captured(), values_of(model.elevation), values_of(model.directions),
          values_of(model.regions)};
}

// The plain runs after the incremental ones would also finish what these left undone,
// with a pass over the whole grid per run: the same grids, but far slower. So the plain
// run right after them must raise nothing.
void expect_nothing_left_to_raise(Neighbourhood n, const Grid& dem) {
  Model model(dem);
  const double tolerance = sink_tolerance(n);
  fill_sinks_incrementally(n, tolerance, model.elevation, model.directions, model.regions, model.console);
  EXPECT_EQ(fill_sinks(n, tolerance, model.elevation, model.directions, model.regions).raised_cells, 0);
}

void expect_same_as_plain(Neighbourhood n, const Grid& dem) {
  const Outcome plain = derive(n, dem, SinkRunMode::plain);
  const Outcome fast = derive(n, dem, SinkRunMode::incremental);
  ASSERT_EQ(fast.console, plain.console);
  EXPECT_EQ(fast.elevation, plain.elevation);
  EXPECT_EQ(fast.directions, plain.directions);
  EXPECT_EQ(fast.regions, plain.regions);
  expect_nothing_left_to_raise(n, dem);
}

// Few levels, steps of a thousandth (at and around the tolerances) and nodata holes;
// up to `side` + 1 cells a side.
Grid random_dem(unsigned seed, unsigned side = 24) {
  std::mt19937 random(seed);
  const int ncols = 2 + static_cast<int>(random() % side), nrows = 1 + static_cast<int>(random() % side);
  std::uniform_int_distribution<int> level(0, 5), thousandths(0, 3), nodata(0, 40);
  Grid dem = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c)
      dem(r, c) = nodata(random) == 0 ? kNodata : level(random) + 0.001 * thousandths(random) + 0.0004 * (seed % 3);
  return dem;
}

TEST(IncrementalSinkRuns, MatchThePlainLoopOnRandomModels) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE(seed);
    const Grid dem = random_dem(seed);
    expect_same_as_plain(seed % 2 ? Neighbourhood::eight : Neighbourhood::four, dem);
    if (HasFailure()) return;
  }
}

// Larger models of the same kind: flats whose rims are taken in by several threads, where
// a cell lies on the rims of regions decided in different parts, and regions never
// raised are joined.
TEST(IncrementalSinkRuns, MatchThePlainLoopOnLargeRandomModels) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    expect_same_as_plain(seed % 2 ? Neighbourhood::eight : Neighbourhood::four, random_dem(seed, 90));
    if (HasFailure()) return;
  }
}

TEST(IncrementalSinkRuns, MatchThePlainLoopOnFractalTerrain) {
  for (uint64_t seed : {1, 2}) {
    TerrainOptions options;
    options.ncols = 96;
    options.nrows = 80;
    options.seed = seed;
    options.nodata_margin = seed == 2 ? 6 : 0;
    const Grid dem = make_terrain(options);
    expect_same_as_plain(Neighbourhood::eight, dem);
    expect_same_as_plain(Neighbourhood::four, dem);
  }
}

// Many pits: the first runs raise hundreds of regions and take in thousands of rim cells,
// which are decided on several threads and in several blocks.
TEST(IncrementalSinkRuns, MatchThePlainLoopWhereRunsAreDecidedInParts) {
  TerrainOptions options;
  options.ncols = 240;
  options.nrows = 120;
  options.pits = 3000;
  const Grid dem = make_terrain(options);
  expect_same_as_plain(Neighbourhood::eight, dem);
}

// A pit above the spill ceiling of 99999 is counted in every run while a basin next to
// it fills over several runs; the counts must agree run by run.
TEST(IncrementalSinkRuns, MatchThePlainLoopWithSinksAboveTheCeiling) {
  const Grid dem = testing::grid_of(8, 6, {0, 0, 0, 0, 0, 0, 0, 0,            //
                                           0, 9, 9, 9, 100005, 100005, 100005, 0,  //
                                           0, 9, 2, 9, 100005, 100000, 100005, 0,  //
                                           0, 9, 1, 9, 100005, 100005, 100005, 0,  //
                                           0, 9, 5, 9, 9, 9, 9, 0,            //
                                           0, 0, 0, 0, 0, 0, 0, 0});
  expect_same_as_plain(Neighbourhood::four, dem);
  expect_same_as_plain(Neighbourhood::eight, dem);
}

}  // namespace
}  // namespace orograd
