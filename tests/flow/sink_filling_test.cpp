#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "flow/flow_direction_pass.hpp"
#include "flow/sink_filling.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

struct Model {
  Grid elevation, directions, regions;
  Model(int ncols, int nrows, const std::vector<double>& values)
      : elevation(grid_of(ncols, nrows, values)),
        directions(Grid::allocate(ncols, nrows)),
        regions(Grid::allocate(ncols, nrows)) {}

  SinkFillResult run(Neighbourhood n, double tolerance) {
    compute_flow_directions(n, elevation, directions, regions);
    return fill_sinks(n, tolerance, elevation, directions, regions);
  }
};

// A pit in the centre, a ring at 3.0 with one cell at `spill` (2.0 unless given), all
// draining into an outer ring at 0.0 that is flat along the grid border.
std::vector<double> pit_in_ring(double pit, double spill = 2.0) {
  return {0, 0, 0, 0, 0,  //
          0, 3, spill, 3, 0,  //
          0, 3, pit, 3, 0,  //
          0, 3, 3, 3, 0,  //
          0, 0, 0, 0, 0};
}

TEST(FillSinks, RaisesAClosedPitToItsLowestDrainingNeighbour) {
  Model model(5, 5, pit_in_ring(1.0));
  const SinkFillResult result = model.run(Neighbourhood::eight, kEightNeighbourSinkTolerance);
  EXPECT_EQ(result.closed_depressions, 1);
  EXPECT_EQ(result.raised_cells, 1);
  EXPECT_EQ(model.elevation(3, 3), 2.0);
  // The border flat met first is label 1 and drained; the pit keeps label 2 and 0.
  EXPECT_EQ(model.regions(3, 3), 2);
  EXPECT_EQ(model.directions(3, 3), 0);
  EXPECT_EQ(model.regions(1, 1), N);
}

TEST(FillSinks, BorderRegionsDrainOffTheirEdge) {
  Model model(5, 5, pit_in_ring(1.0));
  model.run(Neighbourhood::four, kFourNeighbourSinkTolerance);
  const std::vector<double> expected_outer{128, 128, 128, 128, 128, 32, 2, 32, 2, 32, 2, 8, 8, 8, 8, 8};
  const std::vector<double> got{model.directions(1, 1), model.directions(1, 2), model.directions(1, 3),
                                model.directions(1, 4), model.directions(1, 5), model.directions(2, 1),
                                model.directions(2, 5), model.directions(3, 1), model.directions(3, 5),
                                model.directions(4, 1), model.directions(4, 5), model.directions(5, 1),
                                model.directions(5, 2), model.directions(5, 3), model.directions(5, 4),
                                model.directions(5, 5)};
  EXPECT_EQ(got, expected_outer);
}

TEST(FillSinks, RegionsShallowerThanTheToleranceAreRaisedButNotCounted) {
  for (const auto& [n, depth] : {std::pair{Neighbourhood::eight, 0.0004}, std::pair{Neighbourhood::four, 0.0009}}) {
    Model model(5, 5, pit_in_ring(2.0 - depth));
    const double tolerance = n == Neighbourhood::eight ? kEightNeighbourSinkTolerance : kFourNeighbourSinkTolerance;
    const SinkFillResult result = model.run(n, tolerance);
    EXPECT_EQ(result.closed_depressions, 0);
    EXPECT_EQ(result.raised_cells, 1);
    EXPECT_EQ(model.elevation(3, 3), 2.0);
  }
}

TEST(FillSinks, ARegionExactlyTheToleranceDeepIsCounted) {
  // A pit at sea level whose lowest draining neighbour lies at the tolerance: the depth
  // is exactly the tolerance in double arithmetic, which elevations near 100 could not
  // give. With the neighbour one double lower the pit is raised without being counted.
  const double pit = 0.0;
  for (const auto& [n, tolerance] : {std::pair{Neighbourhood::eight, kEightNeighbourSinkTolerance},
                                     std::pair{Neighbourhood::four, kFourNeighbourSinkTolerance}}) {
    for (const auto& [spill, counted] : {std::pair{tolerance, 1}, std::pair{std::nextafter(tolerance, 0.0), 0}}) {
      Model model(5, 5, pit_in_ring(pit, spill));
      ASSERT_EQ(spill - pit == tolerance, counted == 1);  // exactly at the tolerance or just below
      const SinkFillResult result = model.run(n, tolerance);
      EXPECT_EQ(result.closed_depressions, counted) << "tolerance " << tolerance << ", spill " << spill;
      EXPECT_EQ(result.raised_cells, 1);
      EXPECT_EQ(model.elevation(3, 3), spill);
    }
  }
}

TEST(FillSinks, InnerCellsOfBorderRegionsTakeTheLastNodataNeighbour) {
  // A flat of 5.0 around (3,3) with nodata to its west and north; its other neighbours
  // are higher. Checked in scan order, north comes last and wins.
  Model model(5, 5, {9, 9, 9, 9, 9,  //
                     9, 9, N, 9, 9,  //
                     9, N, 5, 5, 9,  //
                     9, 9, 9, 9, 9,  //
                     9, 9, 9, 9, 9});
  const SinkFillResult result = model.run(Neighbourhood::eight, kEightNeighbourSinkTolerance);
  EXPECT_EQ(result.closed_depressions, 0);
  EXPECT_EQ(model.directions(3, 3), 128);
  // (3,4) touches nodata only diagonally (north-west at (2,3)).
  EXPECT_EQ(model.directions(3, 4), 64);
  Model four(5, 5, values_of(model.elevation));
  four.run(Neighbourhood::four, kFourNeighbourSinkTolerance);
  EXPECT_EQ(four.directions(3, 3), 128);
  // With four neighbours (3,4) has no nodata neighbour: it keeps 0 and its label.
  EXPECT_EQ(four.directions(3, 4), 0);
  EXPECT_GT(four.regions(3, 4), 0);
}

TEST(FillSinks, ARegionDrainingOnlyOffTheModelIsNeverCounted) {
  // A flat of two cells surrounded by nodata: no neighbour has a direction, so the
  // spill level stays at 99999.
  Model model(4, 3, {N, N, N, N, N, 1, 1, N, N, N, N, N});
  const SinkFillResult result = model.run(Neighbourhood::eight, kEightNeighbourSinkTolerance);
  EXPECT_EQ(result.closed_depressions, 0);
  EXPECT_EQ(result.raised_cells, 0);
  EXPECT_EQ(model.elevation(2, 2), 1.0);
  EXPECT_EQ(model.directions(2, 2), 128);  // north is the last nodata neighbour checked
  EXPECT_EQ(model.directions(2, 3), 128);
}

TEST(FillSinks, LabelsFollowTheRowMajorSweepAndTheNeighbourhood) {
  // Two pits touching diagonally: one region with eight neighbours, two with four.
  const std::vector<double> diagonal{9, 9, 9, 9, 9,  //
                                     9, 9, 9, 1, 9,  //
                                     9, 9, 1, 9, 9,  //
                                     9, 9, 9, 9, 9,  //
                                     9, 9, 9, 9, 8};
  Model eight(5, 5, diagonal);
  eight.run(Neighbourhood::eight, kEightNeighbourSinkTolerance);
  EXPECT_EQ(eight.regions(2, 4), eight.regions(3, 3));
  Model four(5, 5, diagonal);
  four.run(Neighbourhood::four, kFourNeighbourSinkTolerance);
  // The pit in row 2 is met first although it lies further east.
  EXPECT_LT(four.regions(2, 4), four.regions(3, 3));
  EXPECT_EQ(four.regions(3, 3), four.regions(2, 4) + 1);
}

TEST(FillSinks, LabelsAFlatOfMillionsOfCellsWithoutRecursion) {
  const int ncols = 2000, nrows = 1500;
  Model model(ncols, nrows, std::vector<double>(static_cast<std::size_t>(ncols) * nrows, 3.0));
  const SinkFillResult result = model.run(Neighbourhood::four, kFourNeighbourSinkTolerance);
  EXPECT_EQ(result.closed_depressions, 0);
  EXPECT_EQ(model.regions(nrows / 2, ncols / 2), 1);
  EXPECT_EQ(model.directions(nrows, 7), 8);
  EXPECT_EQ(model.directions(9, ncols), 2);
}

// The rim scan runs over blocks of rows and combines them; on tall random grids, whose
// flats span the blocks, it must give each region what one look at all its cells
// gives: their elevation, the lowest neighbour with a direction, and border contact.
TEST(ScanSinkRegions, GivesEveryRegionItsWholeRim) {
  for (const Neighbourhood n : {Neighbourhood::eight, Neighbourhood::four})
    for (unsigned seed = 1; seed <= 4; ++seed) {
      std::mt19937 random(seed);
      Model model(23, 181, std::vector<double>(23 * 181));
      for (int r = 1; r <= 181; ++r)
        for (int c = 1; c <= 23; ++c) model.elevation(r, c) = random() % 40 == 0 ? N : double(random() % 3);
      compute_flow_directions(n, model.elevation, model.directions, model.regions);
      const int64_t count = label_sink_regions(n, model.regions);
      const std::vector<SinkRegion> scanned = scan_sink_regions(n, model.elevation, model.regions, count);
      std::vector<SinkRegion> expected(static_cast<std::size_t>(count) + 1);
      for (int r = 1; r <= 181; ++r)
        for (int c = 1; c <= 23; ++c) {
          if (model.regions(r, c) <= 0) continue;
          SinkRegion& region = expected[static_cast<std::size_t>(model.regions(r, c))];
          region.region_elevation = model.elevation(r, c);
          for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
              if ((dr == 0 && dc == 0) || (n == Neighbourhood::four && dr != 0 && dc != 0)) continue;
              const bool inside = r + dr >= 1 && r + dr <= 181 && c + dc >= 1 && c + dc <= 23;
              if (!inside || model.elevation(r + dr, c + dc) == N) region.touches_border = true;
              else if (model.regions(r + dr, c + dc) <= 0)
                region.spill_elevation = std::min(region.spill_elevation, model.elevation(r + dr, c + dc));
            }
        }
      ASSERT_EQ(scanned.size(), expected.size());
      for (std::size_t label = 1; label < expected.size(); ++label) {
        EXPECT_EQ(scanned[label].region_elevation, expected[label].region_elevation) << label;
        EXPECT_EQ(scanned[label].spill_elevation, expected[label].spill_elevation) << label;
        EXPECT_EQ(scanned[label].touches_border, expected[label].touches_border) << label;
      }
    }
}

}  // namespace
}  // namespace orograd
