#include "topo/horizon.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "base/angles.hpp"
#include "topo/horizon_walk.hpp"
#include "topo_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_from;
using testing::header_for;

int count_of(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Elevation with constant slope and aspect grids, and the two result grids.
struct HorizonCase {
  Grid elevation, slope, aspect, output, scratch;
  GridHeader header;
  Console console = Console::capturing();

  HorizonCase(Grid elevation_, double slope_degrees, double aspect_degrees)
      : elevation(std::move(elevation_)), header(header_for(elevation)) {
    slope = grid_from(header.ncols, header.nrows, [&](int, int) { return slope_degrees; });
    aspect = grid_from(header.ncols, header.nrows, [&](int, int) { return aspect_degrees; });
    output = Grid::allocate(header.ncols, header.nrows);
    scratch = Grid::allocate(header.ncols, header.nrows);
  }
  void run(const HorizonRequest& request) {
    compute_horizon(console, {header, elevation, slope, aspect}, request, output, scratch);
  }
};

TEST(ComputeHorizon, OpenPlainGivesOneWithAnyNumberOfAzimuths) {
  for (int azimuths : {36, 1000}) {
    HorizonCase plain(grid_from(4, 3, [](int, int) { return 50.0; }), 0, 0);
    HorizonRequest request;
    request.azimuth_count = azimuths;
    plain.run(request);
    // Every direction is processed, so the shares add up to 1.
    EXPECT_EQ(count_of(plain.console.captured(), "calculating horizon for azimuth"), azimuths);
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 4; ++c) EXPECT_NEAR(plain.output(r, c), 1.0, 1e-12) << azimuths;
  }
}

TEST(ComputeHorizon, ConsoleShowsDirectionsAndRowsInWalkOrder) {
  HorizonCase plain(grid_from(2, 3, [](int, int) { return 1.0; }), 0, 0);
  HorizonRequest request;
  request.minimum_azimuth = 0;
  request.maximum_azimuth = 360;
  request.azimuth_count = 2;
  plain.run(request);
  // North walks rows from the south; south walks them from the north.
  EXPECT_EQ(plain.console.captured(),
            "calculating horizon for azimuth =   0.0 Grad\n3\n2\n1\n\n"
            "calculating horizon for azimuth = 180.0 Grad\n1\n2\n3\n\n");
}

TEST(ComputeHorizon, EveryColumnOfAWideRasterIsWalked) {
  // Wider than a strip of walks, with identical columns: straight north and south walks
  // give every column the same horizon, which a column left out would not have. The
  // edge columns differ: a walk does not start where its minor axis is at the edge.
  HorizonCase valley(grid_from(600, 7, [](int r, int) { return (r - 4.0) * (r - 4.0) * 10; }), 0, 0);
  valley.scratch.fill(7);
  HorizonRequest request;
  request.azimuth_count = 2;
  valley.run(request);
  EXPECT_LT(valley.output(4, 2), 1.0);  // the valley floor sees both slopes
  for (int r = 1; r <= 7; ++r)
    for (int c = 2; c < 600; ++c) ASSERT_EQ(valley.output(r, c), valley.output(r, 2)) << r << "," << c;
}

TEST(ComputeHorizon, EveryCellGetsTheLiteralFormulaBitForBit) {
  // Slopes and aspects at and around the limits where the cell's own tangent plane may
  // rise above the horizon, on rough terrain and on a plain with bumps so low that
  // horizon tangents fall below 1e-11: the sum must be the literal formula's, evaluated
  // with all its terms for every cell and direction.
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(0, 1);
  const double slopes[] = {0, 0.5, 45, 88.9, 89, 89.5, 90};
  const double aspects[] = {-1, 0, 45, 90, 90.01, 180, 269.99, 270, 360};
  for (double relief : {100.0, 1e-10}) {
    HorizonCase land(grid_from(23, 19, [&](int, int) { return 100 + relief * noise(random); }), 0, 0);
    for (int r = 1; r <= 19; ++r)
      for (int c = 1; c <= 23; ++c) {
        land.slope(r, c) = noise(random) < 0.5 ? slopes[random() % 7] : 90 * noise(random);
        land.aspect(r, c) = noise(random) < 0.5 ? aspects[random() % 9] : 360 * noise(random);
      }
    HorizonRequest request;
    request.azimuth_count = 24;
    land.run(request);

    HorizonTerrain terrain(land.elevation, 100 + relief);
    Grid expected = grid_from(23, 19, [](int, int) { return 0.0; });
    double a = 0;
    const double step = 360.0 / 24 * kPi / 180;
    for (int n = 0; n < 24; ++n, a += step) {
      terrain.set_walk(make_horizon_walk(a, 23, 19, land.header.cellsize));
      for (int r = 1; r <= 19; ++r)
        for (int c = 1; c <= 23; ++c) {
          const double h = std::atan(trace_horizon(terrain, r, c, request.max_distance));
          const double beta = land.slope(r, c) * kPi / 180, A = land.aspect(r, c) * kPi / 180;
          const double zenith = kHalfPi - h;
          const double t = std::cos(a - A) * std::sin(beta) * std::sin(zenith) + std::cos(beta) * std::cos(zenith);
          const double effective = t < 0 ? h + std::acos(t) - kHalfPi : h;
          expected(r, c) += (1 - std::sin(effective)) / 24;
        }
    }
    // The wind factor belongs to the completed sum, over the raster's elevation range.
    double zmin = HUGE_VAL, zmax = -HUGE_VAL;
    for (int r = 1; r <= 19; ++r)
      for (int c = 1; c <= 23; ++c) {
        zmin = std::min(zmin, land.elevation(r, c));
        zmax = std::max(zmax, land.elevation(r, c));
      }
    Grid factor = grid_from(23, 19, [](int, int) { return 0.0; });
    apply_wind_correction(land.elevation, expected, zmin, zmax, request.wind, land.header.nodata_value, factor);
    for (int r = 1; r <= 19; ++r)
      for (int c = 1; c <= 23; ++c) {
        ASSERT_EQ(land.output(r, c), expected(r, c)) << relief << " " << r << "," << c;
        ASSERT_EQ(land.scratch(r, c), factor(r, c)) << relief << " " << r << "," << c;
      }
  }
}

TEST(ComputeHorizon, BadAzimuthLimitsWarnAndProcessNothing) {
  Grid elevation = grid_from(3, 3, [](int r, int) { return 1.0 * r; });
  elevation(2, 2) = kNodata;
  HorizonCase bad(std::move(elevation), 10, 0);
  bad.output.fill(5);
  bad.scratch.fill(7);
  HorizonRequest request;
  request.minimum_azimuth = 90;
  request.maximum_azimuth = 45;
  bad.run(request);
  EXPECT_EQ(bad.console.captured(),
            "min_azimuth (90) and max_azmuth (45) must be between 0 and 360 degree and min_azimuth must be smaller "
            "than max_azimuth.");
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) {
      EXPECT_EQ(bad.output(r, c), 0);  // nodata cells included
      EXPECT_EQ(bad.scratch(r, c), 7);
    }
}

TEST(ComputeHorizon, NoAzimuthsMeansNoDirectionAndNoDivisionByZero) {
  for (int azimuths : {0, -3}) {
    HorizonCase plain(grid_from(3, 3, [](int, int) { return 1.0; }), 0, 0);
    HorizonRequest request;
    request.azimuth_count = azimuths;
    plain.run(request);
    EXPECT_EQ(plain.console.captured(), "");
    EXPECT_EQ(plain.output(2, 2), 0);
  }
}

TEST(ComputeHorizon, OutOfRangeLimitsOnlyWarn) {
  HorizonCase plain(grid_from(3, 3, [](int, int) { return 1.0; }), 0, 0);
  HorizonRequest request;
  request.minimum_azimuth = -10;
  request.maximum_azimuth = 350;
  request.azimuth_count = 4;
  plain.run(request);
  EXPECT_EQ(plain.console.captured().rfind("min_azimuth (-10) and max_azmuth (350)", 0), 0u);
  EXPECT_EQ(count_of(plain.console.captured(), "Grad\n"), 4);
  EXPECT_NEAR(plain.output(2, 2), 1.0, 1e-12);
}

TEST(ComputeHorizon, OwnSlopeRaisesTheHorizonOnASouthFacingPlane) {
  // Falls toward south by tan(beta) per row; slope beta, aspect 180.
  const double beta = 20;
  const double gradient = std::tan(beta * kPi / 180);
  HorizonCase plane(grid_from(3, 5, [&](int r, int) { return 100 - gradient * r; }), beta, 180);
  HorizonRequest request;
  request.maximum_azimuth = 360;
  request.azimuth_count = 1;  // direction 0 only
  plane.run(request);
  const double expected = 1 - std::sin(beta * kPi / 180);
  // Row 1 ends its walk at once but its tangent plane rises to beta; an interior cell
  // sees beta from the plane itself.
  EXPECT_NEAR(plane.output(1, 2), expected, 1e-9);
  EXPECT_NEAR(plane.output(4, 2), expected, 1e-9);
}

TEST(ComputeHorizon, NodataCellsAreNodataInBothGrids) {
  Grid elevation = grid_from(4, 4, [](int r, int c) { return 1.0 * r * c; });
  elevation(2, 3) = kNodata;
  HorizonCase holed(std::move(elevation), 5, 90);
  HorizonRequest request;
  request.azimuth_count = 8;
  holed.run(request);
  EXPECT_EQ(holed.output(2, 3), kNodata);
  EXPECT_EQ(holed.scratch(2, 3), kNodata);
  EXPECT_GT(holed.output(3, 3), 0);
}

TEST(ComputeHorizon, SectorStopsBeforeItsMaximum) {
  HorizonCase plain(grid_from(3, 3, [](int, int) { return 1.0; }), 0, 0);
  HorizonRequest request;
  request.minimum_azimuth = 180;
  request.maximum_azimuth = 270;
  request.azimuth_count = 3;
  plain.run(request);
  const std::string& text = plain.console.captured();
  EXPECT_EQ(count_of(text, "Grad\n"), 3);
  EXPECT_NE(text.find("azimuth = 180.0 Grad"), std::string::npos);
  EXPECT_NE(text.find("azimuth = 210.0 Grad"), std::string::npos);
  EXPECT_NE(text.find("azimuth = 240.0 Grad"), std::string::npos);
}

TEST(WindCorrection, ConstantRasterGivesZeroFactorAndFullExposure) {
  Grid elevation = grid_from(3, 3, [](int, int) { return 10.0; });
  elevation(1, 1) = kNodata;
  HorizonCase flat(std::move(elevation), 0, 0);
  HorizonRequest request;
  request.azimuth_count = 4;
  request.wind = {0.5, 10, 0.2};
  flat.run(request);
  EXPECT_EQ(flat.scratch(1, 1), kNodata);
  EXPECT_EQ(flat.output(1, 1), kNodata);
  EXPECT_EQ(flat.scratch(2, 2), 0);
  EXPECT_NEAR(flat.output(2, 2), 1.0, 1e-12);
}

TEST(WindCorrection, FactorFromShelterAndRelativeElevation) {
  const Grid elevation = grid_from(3, 1, [](int, int c) { return 100.0 * c; });  // 100, 200, 300
  Grid sheltered = grid_from(3, 1, [](int, int) { return 0.75; });
  Grid factor = Grid::allocate(3, 1);

  apply_wind_correction(elevation, sheltered, 100, 300, {2.0, 0.0, 0.3}, kNodata, factor);
  EXPECT_DOUBLE_EQ(factor(1, 1), 0.3);                      // lowest cell: c3
  EXPECT_DOUBLE_EQ(factor(1, 3), (1 - 0.75) * 2 - 1 + 0.3);  // highest cell
  EXPECT_DOUBLE_EQ(factor(1, 2), 0.5 * ((1 - 0.75) * 2 - 1) + 0.3);

  // Without the shelter weight only the relative elevation counts.
  apply_wind_correction(elevation, sheltered, 100, 300, {0.0, 50.0, 1.0}, kNodata, factor);
  EXPECT_DOUBLE_EQ(factor(1, 2), 1.0 - (200 - 100 + 50.0) / (300 - 100 + 50.0));
}

}  // namespace
}  // namespace orograd
