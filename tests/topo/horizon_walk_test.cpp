#include "topo/horizon_walk.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "base/angles.hpp"
#include "topo_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_from;

double radians(double degrees) { return degrees * kPi / 180; }

TEST(HorizonWalkSetUp, AxisDirectionsWalkStraight) {
  const HorizonWalk north = make_horizon_walk(0, 10, 8, 2.0);
  EXPECT_FALSE(north.column_walk);
  EXPECT_EQ(north.ratio, 0);
  EXPECT_EQ(north.denominator, 8);
  EXPECT_EQ(north.north_sign, 1);
  EXPECT_EQ(north.column_sign, 1);
  EXPECT_DOUBLE_EQ(north.distance_step, 2.0);

  const HorizonWalk east = make_horizon_walk(kHalfPi, 10, 8, 2.0);
  EXPECT_TRUE(east.column_walk);
  EXPECT_EQ(east.ratio, 0);
  EXPECT_EQ(east.denominator, 10);
  EXPECT_EQ(east.column_sign, 1);
  EXPECT_EQ(east.north_sign, 1);  // the quarter limits include their end

  const HorizonWalk south = make_horizon_walk(kPi, 10, 8, 2.0);
  EXPECT_FALSE(south.column_walk);
  EXPECT_EQ(south.ratio, 0);
  EXPECT_EQ(south.column_sign, 1);
  EXPECT_EQ(south.north_sign, -1);

  const HorizonWalk west = make_horizon_walk(3 * kHalfPi, 10, 8, 2.0);
  EXPECT_TRUE(west.column_walk);
  EXPECT_EQ(west.ratio, 0);
  EXPECT_EQ(west.column_sign, -1);
  EXPECT_EQ(west.north_sign, -1);

  const HorizonWalk north_west = make_horizon_walk(radians(300), 10, 8, 2.0);
  EXPECT_EQ(north_west.column_sign, -1);
  EXPECT_EQ(north_west.north_sign, 1);
}

TEST(HorizonWalkSetUp, ObliqueDirectionsUseTheMinorRatio) {
  // |cos 45| lies just above 0.707106781, so 45 degrees walks row by row.
  const HorizonWalk diagonal = make_horizon_walk(radians(45), 10, 10, 1.0);
  EXPECT_FALSE(diagonal.column_walk);
  EXPECT_EQ(diagonal.ratio, 10);

  const HorizonWalk steep = make_horizon_walk(radians(30), 10, 10, 1.0);
  EXPECT_FALSE(steep.column_walk);
  EXPECT_EQ(steep.ratio, 5);  // trunc(10 * tan 30) = trunc(5.77)
  EXPECT_DOUBLE_EQ(steep.distance_step, 1.0 / std::fabs(std::cos(radians(30))));

  const HorizonWalk flat = make_horizon_walk(radians(60), 12, 10, 1.0);
  EXPECT_TRUE(flat.column_walk);
  EXPECT_EQ(flat.ratio, 6);  // trunc(12 / tan 60) = trunc(6.93)
  EXPECT_EQ(flat.denominator, 12);
}

// A terrain set to one direction, as compute_horizon uses it.
struct Traced {
  HorizonTerrain terrain;
  Traced(const Grid& elevation, double azimuth_degrees, double zmax_all = 1e9) : terrain(elevation, zmax_all) {
    terrain.set_walk(make_horizon_walk(radians(azimuth_degrees), elevation.ncols(), elevation.nrows(), 1.0));
  }
  double T(int row, int col, double max_distance = 1e12) const {
    return trace_horizon(terrain, row, col, max_distance);
  }
};

TEST(TraceHorizon, PlaneRisingTowardTheWalkGivesItsGradient) {
  // Rises by 0.5 per row toward north.
  const Grid plane = grid_from(6, 6, [](int r, int) { return 10 - 0.5 * r; });
  Traced north(plane, 0);
  EXPECT_DOUBLE_EQ(north.T(4, 3), 0.5);
  // Row 1 faces outward along the walk: no step at all.
  EXPECT_EQ(north.T(1, 3), 0);
  // Looking downhill the horizon is never negative.
  Traced south(plane, 180);
  EXPECT_EQ(south.T(3, 3), 0);
}

TEST(TraceHorizon, MinorBoundStopsTheWalkBeforeEveryStep) {
  // A high wall along row 1 east of column 1: a column walk toward the east-north-east
  // from (1,1) stays in row 1 for several steps, but its north sign forbids every step.
  Grid elevation = grid_from(10, 5, [](int, int) { return 0.0; });
  for (int c = 2; c <= 10; ++c) elevation(1, c) = 100;
  Traced ene(elevation, 80);
  ASSERT_TRUE(ene.terrain.walk().column_walk);
  EXPECT_EQ(ene.T(1, 1), 0);
  // One row lower the same walk may move and sees the wall.
  EXPECT_GT(ene.T(2, 1), 0);
  // The last column faces outward along a column walk east.
  Traced east(elevation, 90);
  EXPECT_EQ(east.T(3, 10), 0);
}

TEST(TraceHorizon, DistanceLimitBelowOneStepStillSeesTheFirstCell) {
  Grid elevation = grid_from(3, 4, [](int, int) { return 0.0; });
  elevation(2, 2) = 3;
  elevation(1, 2) = 100;  // beyond the limit
  Traced north(elevation, 0);
  EXPECT_DOUBLE_EQ(north.T(3, 2, 0.5), 3);
  EXPECT_DOUBLE_EQ(north.T(3, 2), 50);
}

TEST(TraceHorizon, NodataCellsOnTheWayArePassedOver) {
  Grid elevation = grid_from(3, 5, [](int, int) { return 1.0; });
  elevation(3, 2) = kNodata;
  elevation(1, 2) = 5;
  Traced north(elevation, 0);
  EXPECT_DOUBLE_EQ(north.T(5, 2), 1.0);  // (5 - 1) / 4
  // In a single column the walk north may not start: the column bound is tested too.
  const Grid column = grid_from(1, 5, [](int r, int) { return -1.0 * r; });
  Traced straight(column, 0);
  EXPECT_EQ(straight.T(5, 1), 0);
}

// Rough relief on a broad dome, where the raster maximum sits in the middle, and a low
// rugged field with a few tall spikes, where the bounds of the cells ahead end most
// walks long before it; both with nodata holes.
std::vector<Grid> walk_test_terrains() {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> noise(-20, 20);
  Grid dome = grid_from(71, 53, [&](int r, int c) {
    return 400 - 0.1 * ((r - 26) * (r - 26) + (c - 35) * (c - 35)) + noise(random);
  });
  Grid spikes = grid_from(71, 53, [&](int, int) { return 100 + noise(random); });
  for (int k = 0; k < 12; ++k) spikes(1 + random() % 53, 1 + random() % 71) = 300 + 10 * noise(random);
  for (Grid* g : {&dome, &spikes})
    for (int k = 0; k < 40; ++k) (*g)(1 + random() % 53, 1 + random() % 71) = kNodata;
  std::vector<Grid> terrains;
  terrains.push_back(std::move(dome));
  terrains.push_back(std::move(spikes));
  return terrains;
}

TEST(TraceHorizon, CountedWalkGivesTheLiteralWalkResultBitForBit) {
  // Directions of every octant, with and without a distance limit, from every cell.
  for (const Grid& elevation : walk_test_terrains()) {
    double zmax_all = -9999.9;
    for (int r = 1; r <= 53; ++r)
      for (int c = 1; c <= 71; ++c) zmax_all = std::max(zmax_all, elevation(r, c));
    HorizonTerrain terrain(elevation, zmax_all);
    long compared = 0, positive = 0;
    for (double degrees = 0; degrees < 360; degrees += 7.3) {
      terrain.set_walk(make_horizon_walk(radians(degrees), 71, 53, 30.0));
      for (double limit : {1e12, 170.0})
        for (int r = 1; r <= 53; ++r) {
          // Strips of several widths, so blocks start anywhere and strips end in part blocks.
          double side_by_side[71];
          for (int first = 1; first <= 71; first += 13 + r % 11)
            trace_horizon_row(terrain, r, first, std::min(71, first + 12 + r % 11), limit, side_by_side);
          for (int c = 1; c <= 71; ++c) {
            if (elevation(r, c) == kNodata) continue;
            const double counted = trace_horizon(terrain, r, c, limit);
            const double literal = trace_horizon_stepwise(terrain, r, c, limit);
            ASSERT_EQ(counted, literal) << degrees << " degrees, cell " << r << "," << c << ", limit " << limit;
            ASSERT_EQ(side_by_side[c - 1], literal) << degrees << " degrees, row " << r << ", col " << c;
            ++compared;
            positive += counted > 0;
          }
        }
    }
    // The terrain must actually produce horizons for the comparison to mean something.
    EXPECT_GT(positive, compared / 3);
  }
}

TEST(TraceHorizon, LanesPassingLongStretchesMatchTheLiteralWalk) {
  // Walks of a few hundred steps east and west over low rough ground with scattered
  // knolls, toward walls at both ends that keep them going: the lanes pass whole long
  // spans, and a knoll inside one must stop the pass.
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(0, 5);
  const int ncols = 230, nrows = 9;
  Grid elevation =
      grid_from(ncols, nrows, [&](int, int c) { return c <= 6 || c > ncols - 6 ? 400.0 : noise(random); });
  for (int k = 0; k < 25; ++k) elevation(1 + random() % nrows, 20 + random() % 190) = 20 + 4 * noise(random);
  HorizonTerrain terrain(elevation, 400);
  for (double degrees : {84.0, 88.5, 90.0, 93.0, 97.5, 263.0, 270.0, 274.5}) {
    terrain.set_walk(make_horizon_walk(radians(degrees), ncols, nrows, 10.0));
    for (int r = 1; r <= nrows; ++r) {
      std::vector<double> side_by_side(ncols);
      trace_horizon_row(terrain, r, 1, ncols, 1e12, side_by_side.data());
      for (int c = 1; c <= ncols; ++c)
        ASSERT_EQ(side_by_side[c - 1], trace_horizon_stepwise(terrain, r, c, 1e12))
            << degrees << " degrees, cell " << r << "," << c;
    }
  }
}

TEST(TraceHorizon, CountedWalkMatchesTheLiteralWalkOnThinRasters) {
  // One row or column gives a denominator of 1, whose error term starts at 0.
  std::mt19937 random(99);
  std::uniform_real_distribution<double> noise(0, 10);
  const double axes[] = {0, kHalfPi, kPi, 3 * kHalfPi};
  for (auto [ncols, nrows] : {std::pair{1, 7}, std::pair{7, 1}, std::pair{2, 9}, std::pair{9, 2}, std::pair{3, 3}}) {
    const Grid elevation = grid_from(ncols, nrows, [&](int, int) { return noise(random); });
    HorizonTerrain terrain(elevation, 10);
    std::vector<double> directions(std::begin(axes), std::end(axes));
    for (double degrees = 0; degrees < 360; degrees += 15) directions.push_back(radians(degrees));
    for (double a : directions) {
      terrain.set_walk(make_horizon_walk(a, ncols, nrows, 1.0));
      for (int r = 1; r <= nrows; ++r) {
        std::vector<double> side_by_side(ncols);
        trace_horizon_row(terrain, r, 1, ncols, 1e12, side_by_side.data());
        for (int c = 1; c <= ncols; ++c) {
          const double literal = trace_horizon_stepwise(terrain, r, c, 1e12);
          ASSERT_EQ(trace_horizon(terrain, r, c, 1e12), literal) << ncols << "x" << nrows << " a=" << a << " cell " << r << "," << c;
          ASSERT_EQ(side_by_side[c - 1], literal) << ncols << "x" << nrows << " a=" << a << " row " << r << " col " << c;
        }
      }
    }
  }
}

}  // namespace
}  // namespace orograd
