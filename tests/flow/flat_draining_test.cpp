#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "flow/depressionless_directions.hpp"
#include "flow/flat_draining.hpp"
#include "flow/flow_direction_pass.hpp"
#include "flow/sink_filling.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;

// Elevations and directions of one model; `sweeps` drains it to the end and returns
// the count of every sweep.
struct Flat {
  Grid elevation, directions;
  FlatSweepState state;

  Flat(int ncols, int nrows, const std::vector<double>& z, const std::vector<double>& dirs)
      : elevation(grid_of(ncols, nrows, z)), directions(grid_of(ncols, nrows, dirs)),
        state(start_flat_sweeps(directions)) {}

  std::vector<int64_t> sweeps(Neighbourhood n, int limit = 10) {
    std::vector<int64_t> counts;
    do counts.push_back(drain_flats(n, elevation, directions, state));
    while (counts.back() > 0 && static_cast<int>(counts.size()) < limit);
    return counts;
  }
};

// A row of three flat cells at 5.0 in a 5x3 grid, with a draining neighbour at 5.0 at
// the west (outlet_col 1) or the east (outlet_col 5) end.
Flat three_cell_flat(int outlet_col) {
  std::vector<double> z(15, 9.0), dirs(15, 8.0);
  for (int c = 2; c <= 4; ++c) {
    z[5 + c - 1] = 5.0;
    dirs[5 + c - 1] = 0;
  }
  z[5 + outlet_col - 1] = 5.0;
  return Flat(5, 3, z, dirs);
}

TEST(DrainFlats, AFlatDrainedFromTheWestEmptiesInOneSweep) {
  Flat flat = three_cell_flat(1);
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight), std::vector<int64_t>{0});
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(flat.directions(2, c), 32);
}

TEST(DrainFlats, AgainstTheSweepFlowSpreadsOneCellPerSweep) {
  Flat flat = three_cell_flat(5);
  EXPECT_EQ(flat.sweeps(Neighbourhood::four), (std::vector<int64_t>{2, 1, 0}));
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(flat.directions(2, c), 2);
}

TEST(DrainFlats, EdgeSharingNeighboursComeBeforeDiagonals) {
  // Centre flat cell; draining neighbours at 5.0 to the north-east and to the south.
  Flat flat(3, 3, {9, 9, 5, 9, 5, 9, 9, 5, 9}, {8, 8, 2, 8, 0, 8, 8, 8, 8});
  flat.sweeps(Neighbourhood::eight);
  EXPECT_EQ(flat.directions(2, 2), 8);
}

TEST(DrainFlats, ADiagonalOutletDrainsOnlyWithEightNeighbours) {
  const std::vector<double> z{9, 9, 5, 9, 5, 9, 9, 9, 9}, dirs{8, 8, 2, 8, 0, 8, 8, 8, 8};
  Flat eight(3, 3, z, dirs);
  eight.sweeps(Neighbourhood::eight);
  EXPECT_EQ(eight.directions(2, 2), 1);
  Flat four(3, 3, z, dirs);
  EXPECT_EQ(four.sweeps(Neighbourhood::four, 3), (std::vector<int64_t>{1, 1, 1}));
  EXPECT_EQ(four.directions(2, 2), 0);
}

TEST(DrainFlats, ElevationsMustBeExactlyEqual) {
  Flat flat(3, 3, {9, 5.001, 9, 9, 5, 9, 9, 9, 9}, {8, 8, 8, 8, 0, 8, 8, 8, 8});
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight, 1), std::vector<int64_t>{1});
}

TEST(DrainFlats, TheOutermostRingIsNeitherDrainedNorCounted) {
  // Direction 0 all around the border but for the outlet west of the one inner cell.
  Flat flat(3, 3, std::vector<double>(9, 5.0), {0, 0, 0, 32, 0, 0, 0, 0, 0});
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight), std::vector<int64_t>{0});
  EXPECT_EQ(flat.directions(2, 2), 32);
  EXPECT_EQ(flat.directions(1, 1), 0);
  Flat two_rows(3, 2, std::vector<double>(6, 5.0), std::vector<double>(6, 0.0));
  EXPECT_EQ(two_rows.sweeps(Neighbourhood::four), std::vector<int64_t>{0});
}

// The sweep as a plain loop over every examined cell, for comparison: a cell drains
// into an equally high neighbour of another flat label, and drained cells get nodata.
int64_t full_sweep(Neighbourhood n, const Grid& elevation, Grid& directions, Grid& labels) {
  static constexpr int order[8] = {128, 8, 2, 32, 1, 4, 16, 64};
  int64_t count = 0;
  for (int r = 2; r < elevation.nrows(); ++r)
    for (int c = 2; c < elevation.ncols(); ++c) {
      if (directions(r, c) != 0) continue;
      bool drained = false;
      for (int k = 0; k < (n == Neighbourhood::eight ? 8 : 4) && !drained; ++k) {
        const Direction& d = *direction_for_code(order[k]);
        const int rr = r + d.row_offset, cc = c + d.col_offset;
        if (elevation(rr, cc) == elevation(r, c) && labels(rr, cc) != labels(r, c)) {
          directions(r, c) = d.code;
          labels(r, c) = N;
          drained = true;
        }
      }
      if (!drained) ++count;
    }
  return count;
}

// Runs full sweeps until none drains anything; returns the count of every sweep.
std::vector<int64_t> full_sweeps(Neighbourhood n, const Grid& elevation, Grid& directions, Grid& labels) {
  std::vector<int64_t> counts;
  do counts.push_back(full_sweep(n, elevation, directions, labels));
  while (counts.back() > 0 && counts.size() < 200 && (counts.size() < 2 || counts.back() != counts[counts.size() - 2]));
  return counts;
}

// Candidate sweeps until one leaves no cell or drains none, as the flow-direction
// section runs them.
std::vector<int64_t> sweeps_to_end(Neighbourhood n, Flat& flat) {
  std::vector<int64_t> counts;
  for (int64_t before = flat.state.undrained;; before = counts.back()) {
    counts.push_back(drain_flats(n, flat.elevation, flat.directions, flat.state));
    if (counts.back() == 0 || counts.back() == before) return counts;
  }
}

std::vector<int64_t> candidate_sweeps(Neighbourhood n, Flat& flat, std::size_t count) {
  std::vector<int64_t> counts;
  do counts.push_back(drain_flats(n, flat.elevation, flat.directions, flat.state));
  while (counts.size() < count);
  return counts;
}

// Random flats with scattered outlets: the sweeps that look only at cells next to a
// newly drained one must give the counts and codes of sweeps over every cell. So must
// the sweeps in shares given labels that split the flats at random, which do not
// separate regions: they must notice and sweep all cells as one share.
TEST(DrainFlats, CandidateSweepsMatchFullSweeps) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 random(seed);
    const int ncols = 3 + static_cast<int>(random() % 30), nrows = 3 + static_cast<int>(random() % 30);
    std::vector<double> z, dirs, labels, split;
    for (int i = 0; i < ncols * nrows; ++i) {
      const bool outlet = random() % 25 == 0;
      z.push_back(random() % 7 == 0 ? 6.0 : 5.0);
      dirs.push_back(outlet ? 2.0 : 0.0);
      labels.push_back(outlet ? N : 1.0);
      split.push_back(outlet ? N : static_cast<double>(1 + random() % 4));
    }
    const Neighbourhood n = seed % 2 ? Neighbourhood::eight : Neighbourhood::four;
    Flat fast(ncols, nrows, z, dirs), full(ncols, nrows, z, dirs), plain(ncols, nrows, z, dirs);
    Flat in_shares(ncols, nrows, z, dirs);
    Grid full_labels = grid_of(ncols, nrows, labels);
    const std::vector<int64_t> full_counts = full_sweeps(n, full.elevation, full.directions, full_labels);
    ASSERT_EQ(candidate_sweeps(n, fast, full_counts.size()), full_counts) << seed;
    ASSERT_EQ(testing::values_of(fast.directions), testing::values_of(full.directions)) << seed;
    const Grid split_labels = grid_of(ncols, nrows, split);
    ASSERT_EQ(drain_flats_in_shares(n, in_shares.elevation, in_shares.directions, split_labels),
              sweeps_to_end(n, plain))
        << seed;
    ASSERT_EQ(testing::values_of(in_shares.directions), testing::values_of(full.directions)) << seed;
  }
}

// The sweeps read "drains already" from the directions instead of from a copy of the
// region labels: after real sink runs both must drain alike, and so must the sweeps of
// the regions shared out among the threads. The last model has a pit above the spill
// ceiling that never drains beside a flat that drains one cell per sweep.
TEST(DrainFlats, AfterSinkRunsDirectionsStandForRegionLabels) {
  const double P = 100005, Q = 100000;
  const std::vector<double> stuck_pit = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5,  //
                                         5, 1, 1, 1, 1, 1, 1, 1, 1, 0,  //
                                         5, 5, 5, 5, 5, 5, 5, 5, 5, 5,  //
                                         6, 6, 6, 6, 6, P, P, P, 6, 6,  //
                                         7, 7, 7, 7, 7, P, Q, P, 7, 7,  //
                                         8, 8, 8, 8, 8, P, P, P, 8, 8,  //
                                         9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  for (unsigned seed = 1; seed <= 201; ++seed) {
    std::mt19937 random(seed);
    int ncols = 3 + static_cast<int>(random() % 20), nrows = 3 + static_cast<int>(random() % 20);
    std::vector<double> z;
    for (int i = 0; i < ncols * nrows; ++i) z.push_back(random() % 30 == 0 ? N : static_cast<double>(random() % 3));
    if (seed == 201) std::tie(ncols, nrows, z) = std::tuple(10, 7, stuck_pit);
    const Neighbourhood n = seed % 2 ? Neighbourhood::eight : Neighbourhood::four;
    Grid elevation = grid_of(ncols, nrows, z), directions = grid_of(ncols, nrows, z), labels = grid_of(ncols, nrows, z);
    SinkFillResult result;
    do {
      compute_flow_directions(n, elevation, directions, labels);
      result = fill_sinks(n, sink_tolerance(n), elevation, directions, labels);
    } while (result.raised_cells != 0);
    Flat fast(ncols, nrows, testing::values_of(elevation), testing::values_of(directions));
    Flat plain(ncols, nrows, testing::values_of(elevation), testing::values_of(directions));
    Grid shared = grid_of(ncols, nrows, testing::values_of(directions));
    const std::vector<int64_t> shared_counts = drain_flats_in_shares(n, elevation, shared, labels);
    const std::vector<int64_t> full_counts = full_sweeps(n, elevation, directions, labels);
    ASSERT_EQ(candidate_sweeps(n, fast, full_counts.size()), full_counts) << seed;
    ASSERT_EQ(testing::values_of(fast.directions), testing::values_of(directions)) << seed;
    ASSERT_EQ(shared_counts, sweeps_to_end(n, plain)) << seed;
    ASSERT_EQ(testing::values_of(shared), testing::values_of(directions)) << seed;
  }
}

}  // namespace
}  // namespace orograd
