#include <gtest/gtest.h>

#include <random>

#include "flow/flat_draining.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;

// Elevations, directions and flat labels of one model; `sweeps` drains it to the end
// and returns the count of every sweep.
struct Flat {
  Grid elevation, directions, labels;
  FlatSweepState state;

  Flat(int ncols, int nrows, const std::vector<double>& z, const std::vector<double>& dirs,
       const std::vector<double>& flat_labels)
      : elevation(grid_of(ncols, nrows, z)), directions(grid_of(ncols, nrows, dirs)),
        labels(grid_of(ncols, nrows, flat_labels)), state(start_flat_sweeps(directions)) {}

  std::vector<int64_t> sweeps(Neighbourhood n, int limit = 10) {
    std::vector<int64_t> counts;
    do counts.push_back(drain_flats(n, elevation, directions, labels, state));
    while (counts.back() > 0 && static_cast<int>(counts.size()) < limit);
    return counts;
  }
};

// A row of three flat cells at 5.0 in a 5x3 grid, with a draining neighbour at 5.0 at
// the west (outlet_col 1) or the east (outlet_col 5) end.
Flat three_cell_flat(int outlet_col) {
  std::vector<double> z(15, 9.0), dirs(15, 8.0), labels(15, N);
  for (int c = 2; c <= 4; ++c) {
    z[5 + c - 1] = 5.0;
    dirs[5 + c - 1] = 0;
    labels[5 + c - 1] = 1;
  }
  z[5 + outlet_col - 1] = 5.0;
  return Flat(5, 3, z, dirs, labels);
}

TEST(DrainFlats, AFlatDrainedFromTheWestEmptiesInOneSweep) {
  Flat flat = three_cell_flat(1);
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight), std::vector<int64_t>{0});
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(flat.directions(2, c), 32);
  // Drained cells leave the labels grid.
  EXPECT_EQ(flat.labels(2, 3), N);
}

TEST(DrainFlats, AgainstTheSweepFlowSpreadsOneCellPerSweep) {
  Flat flat = three_cell_flat(5);
  EXPECT_EQ(flat.sweeps(Neighbourhood::four), (std::vector<int64_t>{2, 1, 0}));
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(flat.directions(2, c), 2);
}

TEST(DrainFlats, EdgeSharingNeighboursComeBeforeDiagonals) {
  // Centre flat cell; draining neighbours at 5.0 to the north-east and to the south.
  Flat flat(3, 3, {9, 9, 5, 9, 5, 9, 9, 5, 9}, {8, 8, 2, 8, 0, 8, 8, 8, 8}, {N, N, N, N, 1, N, N, N, N});
  flat.sweeps(Neighbourhood::eight);
  EXPECT_EQ(flat.directions(2, 2), 8);
}

TEST(DrainFlats, ADiagonalOutletDrainsOnlyWithEightNeighbours) {
  const std::vector<double> z{9, 9, 5, 9, 5, 9, 9, 9, 9}, dirs{8, 8, 2, 8, 0, 8, 8, 8, 8},
      labels{N, N, N, N, 1, N, N, N, N};
  Flat eight(3, 3, z, dirs, labels);
  eight.sweeps(Neighbourhood::eight);
  EXPECT_EQ(eight.directions(2, 2), 1);
  Flat four(3, 3, z, dirs, labels);
  EXPECT_EQ(four.sweeps(Neighbourhood::four, 3), (std::vector<int64_t>{1, 1, 1}));
  EXPECT_EQ(four.directions(2, 2), 0);
}

TEST(DrainFlats, ElevationsMustBeExactlyEqual) {
  Flat flat(3, 3, {9, 5.001, 9, 9, 5, 9, 9, 9, 9}, {8, 8, 8, 8, 0, 8, 8, 8, 8}, {N, N, N, N, 1, N, N, N, N});
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight, 1), std::vector<int64_t>{1});
}

TEST(DrainFlats, TheOutermostRingIsNeitherDrainedNorCounted) {
  // Direction 0 all around the border; the one inner cell drains west.
  Flat flat(3, 3, std::vector<double>(9, 5.0), {0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, N, 1, 1, 1, 1, 1});
  EXPECT_EQ(flat.sweeps(Neighbourhood::eight), std::vector<int64_t>{0});
  EXPECT_EQ(flat.directions(2, 2), 32);
  EXPECT_EQ(flat.directions(1, 1), 0);
  Flat two_rows(3, 2, std::vector<double>(6, 5.0), std::vector<double>(6, 0.0), std::vector<double>(6, 1.0));
  EXPECT_EQ(two_rows.sweeps(Neighbourhood::four), std::vector<int64_t>{0});
}

// The sweep as a plain loop over every examined cell, for comparison.
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

// Random flats with scattered outlets: the sweeps that look only at cells next to a
// newly drained one must give the counts and codes of sweeps over every cell.
TEST(DrainFlats, CandidateSweepsMatchFullSweeps) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 random(seed);
    const int ncols = 3 + static_cast<int>(random() % 30), nrows = 3 + static_cast<int>(random() % 30);
    std::vector<double> z, dirs, labels;
    for (int i = 0; i < ncols * nrows; ++i) {
      const bool outlet = random() % 25 == 0;
      z.push_back(random() % 7 == 0 ? 6.0 : 5.0);
      dirs.push_back(outlet ? 2.0 : 0.0);
      labels.push_back(outlet ? N : 1.0 + static_cast<double>(random() % 2));
    }
    const Neighbourhood n = seed % 2 ? Neighbourhood::eight : Neighbourhood::four;
    Flat fast(ncols, nrows, z, dirs, labels);
    Flat full(ncols, nrows, z, dirs, labels);
    std::vector<int64_t> full_counts;
    do full_counts.push_back(full_sweep(n, full.elevation, full.directions, full.labels));
    while (full_counts.back() > 0 && full_counts.size() < 200 &&
           (full_counts.size() < 2 || full_counts.back() != full_counts[full_counts.size() - 2]));
    std::vector<int64_t> fast_counts;
    do fast_counts.push_back(drain_flats(n, fast.elevation, fast.directions, fast.labels, fast.state));
    while (fast_counts.size() < full_counts.size());
    ASSERT_EQ(fast_counts, full_counts) << seed;
    ASSERT_EQ(testing::values_of(fast.directions), testing::values_of(full.directions)) << seed;
  }
}

}  // namespace
}  // namespace orograd
