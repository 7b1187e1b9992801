#include "topo/local_topography.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "base/angles.hpp"
#include "topo/gap_fill.hpp"
#include "topo_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_from;
using testing::grid_of;
using testing::header_for;

// All five outputs of one elevation grid.
struct AllOutputs {
  Grid slope, aspect, profile, plan, curvature;
  explicit AllOutputs(const Grid& elevation)
      : slope(Grid::allocate(elevation.ncols(), elevation.nrows())),
        aspect(Grid::allocate(elevation.ncols(), elevation.nrows())),
        profile(Grid::allocate(elevation.ncols(), elevation.nrows())),
        plan(Grid::allocate(elevation.ncols(), elevation.nrows())),
        curvature(Grid::allocate(elevation.ncols(), elevation.nrows())) {}
  LocalTopographyGrids pointers() { return {&slope, &aspect, &profile, &plan, &curvature}; }
};

AllOutputs compute_all(const Grid& elevation, double cellsize = 1.0) {
  AllOutputs out(elevation);
  LocalTopographyGrids grids = out.pointers();
  Console console = Console::capturing();
  compute_local_topography(console, header_for(elevation, cellsize), elevation, grids);
  return out;
}

TEST(LocalTopography, HorizontalPlaneIsFlatEverywhere) {
  const Grid elevation = grid_from(5, 4, [](int, int) { return 100.0; });
  AllOutputs out = compute_all(elevation);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 5; ++c) {
      EXPECT_EQ(out.slope(r, c), 0);
      EXPECT_EQ(out.aspect(r, c), 0);
      EXPECT_EQ(out.profile(r, c), 0);
      EXPECT_EQ(out.plan(r, c), 0);
      EXPECT_EQ(out.curvature(r, c), 0);
    }
}

TEST(LocalTopography, EastFallingPlaneUsesTheTenDecimalPi) {
  const Grid elevation = grid_from(5, 5, [](int, int c) { return 10.0 - c; });
  AllOutputs out = compute_all(elevation);
  for (int r = 2; r <= 4; ++r)
    for (int c = 2; c <= 4; ++c) {
      EXPECT_DOUBLE_EQ(out.slope(r, c), 44.99999999985379);
      EXPECT_DOUBLE_EQ(out.aspect(r, c), 90);
      EXPECT_EQ(out.curvature(r, c), 0);
    }
}

TEST(LocalTopography, AspectPointsDownhillInEachQuarter) {
  // Planes falling toward north, south and west (row 1 is north).
  const Grid north = grid_from(3, 3, [](int r, int) { return 1.0 * r; });
  const Grid south = grid_from(3, 3, [](int r, int) { return -1.0 * r; });
  const Grid west = grid_from(3, 3, [](int, int c) { return 1.0 * c; });
  const Grid north_east = grid_from(3, 3, [](int r, int c) { return 1.0 * r - c; });
  EXPECT_DOUBLE_EQ(compute_all(north).aspect(2, 2), 0);
  EXPECT_DOUBLE_EQ(compute_all(south).aspect(2, 2), 180);
  EXPECT_DOUBLE_EQ(compute_all(west).aspect(2, 2), 270);
  EXPECT_NEAR(compute_all(north_east).aspect(2, 2), 45, 1e-9);
}

TEST(LocalTopography, OneUnitPitHasCurvatureFourAndNoSlope) {
  Grid elevation = grid_from(3, 3, [](int, int) { return 5.0; });
  elevation(2, 2) = 4.0;
  AllOutputs out = compute_all(elevation);
  EXPECT_EQ(out.slope(2, 2), 0);
  EXPECT_EQ(out.aspect(2, 2), 0);
  EXPECT_EQ(out.profile(2, 2), 0);
  EXPECT_EQ(out.plan(2, 2), 0);
  EXPECT_EQ(out.curvature(2, 2), 4);
}

TEST(LocalTopography, CurvaturesOfAnInclinedParabolicValley) {
  // A valley running north-south and rising toward north: at its floor G = 0, H = 1,
  // D = 1, E = F = 0, so the plan curvature is 2 and the profile curvature 0; a cell
  // size of 2 halves H and quarters D.
  const Grid elevation = grid_from(3, 3, [](int r, int c) { return 1.0 * (c - 2) * (c - 2) - 1.0 * r; });
  AllOutputs out = compute_all(elevation);
  EXPECT_DOUBLE_EQ(out.plan(2, 2), 2);
  EXPECT_DOUBLE_EQ(out.profile(2, 2), 0);
  EXPECT_DOUBLE_EQ(out.curvature(2, 2), 2);
  AllOutputs coarse = compute_all(elevation, 2.0);
  EXPECT_DOUBLE_EQ(coarse.curvature(2, 2), 0.5);
  EXPECT_DOUBLE_EQ(coarse.plan(2, 2), 0.5);
}

TEST(LocalTopography, CurvaturesOfTwistedSurfacesTakeInTheCrossDerivative) {
  // z = a x^2 + b y^2 + c x y + p x + q y, x east and y north of the centre cell. The
  // window is exact on a quadratic, so at the centre the slopes are p and q and the
  // second derivatives z_xx = 2a, z_yy = 2b, z_xy = c, and by definition
  //   profile = -(z_xx p^2 + 2 z_xy p q + z_yy q^2) / (p^2 + q^2),
  //   plan    =  (z_xx q^2 - 2 z_xy p q + z_yy p^2) / (p^2 + q^2),
  //   total   =   z_xx + z_yy.
  // Expected values are worked out by hand from these.
  struct Twisted {
    double a, b, c, p, q, cellsize;
    double profile, plan, total;
  };
  const Twisted cases[] = {
      {0, 0, 1, 1, 1, 1, -1, -1, 0},         // only the twist bends: -2 / 2 for both
      {1, 0, 1, 2, 1, 1, -2.4, -0.4, 2},     // -(8 + 4) / 5 and (2 - 4) / 5
      {0.5, -1, -2, 1, 3, 2, 2.9, 1.9, -1},  // -(1 - 12 - 18) / 10 and (9 + 12 - 2) / 10
  };
  for (const Twisted& t : cases) {
    const Grid elevation = grid_from(3, 3, [&](int r, int c) {
      const double x = (c - 2) * t.cellsize, y = (2 - r) * t.cellsize;
      return t.a * x * x + t.b * y * y + t.c * x * y + t.p * x + t.q * y;
    });
    AllOutputs out = compute_all(elevation, t.cellsize);
    EXPECT_DOUBLE_EQ(out.profile(2, 2), t.profile) << "c = " << t.c << ", cell size " << t.cellsize;
    EXPECT_DOUBLE_EQ(out.plan(2, 2), t.plan) << "c = " << t.c << ", cell size " << t.cellsize;
    EXPECT_DOUBLE_EQ(out.curvature(2, 2), t.total) << "c = " << t.c << ", cell size " << t.cellsize;
  }
}

TEST(LocalTopography, BorderCellsTakeTheMeanOfAlreadyFilledNeighbours) {
  // Interior values differ, so the fill order shows in the border values.
  const Grid elevation = grid_from(4, 4, [](int r, int c) { return 0.5 * c * c + 3.0 * r; });
  AllOutputs out = compute_all(elevation);
  // (1,1) sees only (2,2): (1,2) and (2,1) are still nodata when it is visited.
  EXPECT_EQ(out.curvature(1, 1), out.curvature(2, 2));
  EXPECT_EQ(out.slope(1, 1), out.slope(2, 2));
  // (1,2) then sees (1,1) (filled just before), (2,2) and (2,3).
  EXPECT_DOUBLE_EQ(out.slope(1, 2), (out.slope(2, 3) + out.slope(2, 2) + out.slope(1, 1)) / 3);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) EXPECT_NE(out.slope(r, c), kNodata) << r << "," << c;
}

TEST(LocalTopography, NodataElevationStaysNodataAndIsolatedCellsKeepNodata) {
  Grid elevation = grid_from(7, 7, [](int r, int c) { return 1.0 * r + 2.0 * c; });
  elevation(4, 4) = kNodata;
  AllOutputs out = compute_all(elevation);
  EXPECT_EQ(out.slope(4, 4), kNodata);
  EXPECT_EQ(out.aspect(4, 4), kNodata);
  // Its neighbours had an incomplete window and took the mean of their valid neighbours;
  // on a plane that is the plane's own slope.
  EXPECT_DOUBLE_EQ(out.slope(3, 3), out.slope(2, 2));
  EXPECT_DOUBLE_EQ(out.slope(5, 5), out.slope(2, 2));
  EXPECT_EQ(out.curvature(5, 5), 0);

  // A valid cell surrounded by nodata has no valid neighbour and keeps nodata.
  Grid island = grid_from(3, 3, [](int, int) { return kNodata; });
  island(2, 2) = 7;
  AllOutputs lonely = compute_all(island);
  EXPECT_EQ(lonely.slope(2, 2), kNodata);
  EXPECT_EQ(lonely.aspect(2, 2), kNodata);
}

TEST(LocalTopography, OnlyRequestedGridsAreTouched) {
  const Grid elevation = grid_from(4, 4, [](int r, int c) { return 1.0 * r * c; });
  Grid slope = Grid::allocate(4, 4);
  Grid untouched = Grid::allocate(4, 4);
  untouched.fill(42);
  LocalTopographyGrids grids;
  grids.slope = &slope;
  Console console = Console::capturing();
  compute_local_topography(console, header_for(elevation), elevation, grids);
  EXPECT_EQ(console.captured(), "calculating local topography (Aspect, SLope usw.).. \n");
  EXPECT_NE(slope(2, 2), 0);
  EXPECT_EQ(untouched(2, 2), 42);
}

TEST(LocalTopography, NarrowRasterHasNoInteriorCells) {
  const Grid elevation = grid_from(5, 2, [](int r, int c) { return 1.0 * r + c; });
  AllOutputs out = compute_all(elevation);
  // Both rows are border rows, so every cell is nodata and nothing can be averaged.
  for (int c = 1; c <= 5; ++c) EXPECT_EQ(out.slope(1, c), kNodata);
  // Two columns are both border columns: no cell gets a made-up 0 slope.
  const Grid steep = grid_from(2, 4, [](int r, int c) { return 10.0 * r + c; });
  AllOutputs narrow = compute_all(steep);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 2; ++c) {
      EXPECT_EQ(narrow.slope(r, c), kNodata) << r << "," << c;
      EXPECT_EQ(narrow.aspect(r, c), kNodata) << r << "," << c;
    }
}

TEST(LocalTopography, AspectGapFillUsesTheCircularMean) {
  // The two interior cells face north-north-west (about 350 degrees) and
  // north-north-east (about 10); the border cells filled from them must face north,
  // not south as a plain mean would give.
  const double ridge[4] = {0, 1, 1, 0};
  Grid elevation = grid_from(4, 3, [&](int r, int c) { return 2.8356 * r + ridge[c - 1]; });
  AllOutputs out = compute_all(elevation);
  const double west = out.aspect(2, 2), east = out.aspect(2, 3);
  EXPECT_GT(west, 340);
  EXPECT_LT(east, 20);
  // (1,2) sees (2,2) and (2,3) (and the filled (1,1), a copy of (2,2)).
  const double filled = out.aspect(1, 2);
  const double distance_to_north = std::min(filled, 360 - filled);
  EXPECT_LT(distance_to_north, 20);
  EXPECT_GE(filled, 0);
  EXPECT_LT(filled, 360);
}

TEST(GapFill, PlainMeanSkipsNodataAndCellsOutsideTheRaster) {
  Grid grid = grid_of(3, 2, {1, kNodata, 3,  //
                             kNodata, 5, 8});
  fill_from_neighbours(1, 2, grid, kNodata);
  EXPECT_DOUBLE_EQ(grid(1, 2), (3 + 8 + 5 + 1) / 4.0);
  fill_from_neighbours(2, 1, grid, kNodata);
  EXPECT_DOUBLE_EQ(grid(2, 1), (5 + grid(1, 2) + 1) / 3.0);
}

TEST(GapFill, CellWithoutValidNeighbourKeepsItsValue) {
  Grid grid = grid_of(2, 1, {kNodata, kNodata});
  fill_from_neighbours(1, 1, grid, kNodata);
  fill_direction_from_neighbours(1, 2, grid, kNodata);
  EXPECT_EQ(grid(1, 1), kNodata);
  EXPECT_EQ(grid(1, 2), kNodata);
}

TEST(GapFill, DirectionsAverageOnTheCircle) {
  Grid across_north = grid_of(3, 1, {350, kNodata, 10});
  fill_direction_from_neighbours(1, 2, across_north, kNodata);
  const double north = across_north(1, 2);
  EXPECT_GE(north, 0);
  EXPECT_LT(north, 360);
  EXPECT_LT(std::min(north, 360 - north), 1e-6);

  Grid south_west = grid_of(3, 1, {180, kNodata, 270});
  fill_direction_from_neighbours(1, 2, south_west, kNodata);
  EXPECT_NEAR(south_west(1, 2), 225, 1e-6);

  // Opposite directions cancel out: the plain mean is kept.
  Grid opposite = grid_of(3, 1, {90, kNodata, 270});
  fill_direction_from_neighbours(1, 2, opposite, kNodata);
  EXPECT_DOUBLE_EQ(opposite(1, 2), 180);
}

TEST(GapFill, ADirectionMeanThatRoundsUpTo360IsNorth) {
  // A hair west of north: on the ten-decimal circle this angle is the double just below
  // 2 pi, so the mean comes out at -1.4e-14 degrees and adding 360 rounds to 360
  // itself. Directions stay in [0, 360), so the cell must face north, 0.
  const double just_west_of_north = 359.99999999883039;
  ASSERT_LT(std::sin(just_west_of_north * kPi / 180), 0);
  Grid grid = grid_of(2, 1, {just_west_of_north, kNodata});
  fill_direction_from_neighbours(1, 2, grid, kNodata);
  EXPECT_EQ(grid(1, 2), 0);
}

}  // namespace
}  // namespace orograd
