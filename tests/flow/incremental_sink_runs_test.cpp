// The incremental sink runs must reproduce the plain loop exactly: every console line,
// the filled elevations, the directions and the region labels.
#include <gtest/gtest.h>

#include <numeric>
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

// A pit above the spill ceiling of 99999 is counted in every run while a basin next to
// it fills over several runs.
Grid dem_with_a_sink_above_the_ceiling() {
  return testing::grid_of(8, 6, {0, 0, 0, 0, 0, 0, 0, 0,            //
                                 0, 9, 9, 9, 100005, 100005, 100005, 0,  //
                                 0, 9, 2, 9, 100005, 100000, 100005, 0,  //
                                 0, 9, 1, 9, 100005, 100005, 100005, 0,  //
                                 0, 9, 5, 9, 9, 9, 9, 0,            //
                                 0, 0, 0, 0, 0, 0, 0, 0});
}

// The runs after one series, with the regions in the groups of `grouping`.
Outcome run_in_groups(Neighbourhood n, const Grid& dem, const SinkGrouping& grouping) {
  Model model(dem);
  fill_sinks_incrementally(n, sink_tolerance(n), model.elevation, model.directions, model.regions, model.console,
                           grouping);
  return {model.console.captured(), values_of(model.elevation), values_of(model.directions),
          values_of(model.regions)};
}

// Labels 1 to L in `buckets` groups drawn at random, each named by its first label.
SinkGrouping random_grouping(unsigned seed, unsigned buckets) {
  return [seed, buckets](const Grid&, const Grid&, const Grid&, int64_t region_count) {
    std::mt19937 random(seed);
    std::vector<int64_t> group(static_cast<std::size_t>(region_count) + 1, 0), name(buckets, 0);
    for (std::size_t label = 1; label < group.size(); ++label) {
      int64_t& first = name[random() % buckets];
      if (first == 0) first = static_cast<int64_t>(label);
      group[label] = first;
    }
    return group;
  };
}

SinkGrouping each_region_alone() {
  return [](const Grid&, const Grid&, const Grid&, int64_t region_count) {
    std::vector<int64_t> group(static_cast<std::size_t>(region_count) + 1);
    std::iota(group.begin(), group.end(), 0);
    return group;
  };
}

// Every grouping must give what one series gives: all regions in one group, where no
// series can clash; each region alone, where every join clashes; groups at random,
// where some joins do; and the groups of the basins.
TEST(IncrementalSinkRuns, AnyGroupingGivesWhatOneSeriesGives) {
  const auto check = [](Neighbourhood n, const Grid& dem, unsigned seed) {
    const Outcome one_series = run_in_groups(n, dem, {});
    const std::pair<const char*, SinkGrouping> groupings[] = {{"one group", random_grouping(seed, 1)},
                                                              {"each alone", each_region_alone()},
                                                              {"three at random", random_grouping(seed, 3)},
                                                              {"basins", grouping_by_basins(n)}};
    for (const auto& [name, grouping] : groupings) {
      SCOPED_TRACE(name);
      const Outcome grouped = run_in_groups(n, dem, grouping);
      ASSERT_EQ(grouped.console, one_series.console);
      EXPECT_EQ(grouped.elevation, one_series.elevation);
      EXPECT_EQ(grouped.directions, one_series.directions);
      EXPECT_EQ(grouped.regions, one_series.regions);
    }
  };
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    check(seed % 2 ? Neighbourhood::eight : Neighbourhood::four, random_dem(seed, seed % 5 ? 24 : 70), seed);
    if (HasFailure()) return;
  }
  TerrainOptions options;
  options.ncols = 96;
  options.nrows = 80;
  options.pits = 200;
  for (const Neighbourhood n : {Neighbourhood::eight, Neighbourhood::four}) {
    check(n, make_terrain(options), 7);
    check(n, dem_with_a_sink_above_the_ceiling(), 7);
  }
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

// The counts must agree run by run.
TEST(IncrementalSinkRuns, MatchThePlainLoopWithSinksAboveTheCeiling) {
  expect_same_as_plain(Neighbourhood::four, dem_with_a_sink_above_the_ceiling());
  expect_same_as_plain(Neighbourhood::eight, dem_with_a_sink_above_the_ceiling());
}

}  // namespace
}  // namespace orograd
