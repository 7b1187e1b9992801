#include "snow/snow_redistribution.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "grid/grid.hpp"

namespace orograd {
namespace {

Grid grid_of(int ncols, int nrows, const std::vector<double>& values) {
  Grid grid = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) grid(r, c) = values[static_cast<std::size_t>(r - 1) * ncols + c - 1];
  return grid;
}

Grid constant(int ncols, int nrows, double value) {
  Grid grid = Grid::allocate(ncols, nrows);
  grid.fill(value);
  return grid;
}

struct Shares {
  Grid north, west, east, south;
  Shares(const Grid& elevation, const Grid& aspect)
      : north(constant(elevation.ncols(), elevation.nrows(), 0)),
        west(constant(elevation.ncols(), elevation.nrows(), 0)),
        east(constant(elevation.ncols(), elevation.nrows(), 0)),
        south(constant(elevation.ncols(), elevation.nrows(), 0)) {
    SnowShareGrids grids{north, west, east, south};
    compute_snow_shares(elevation, aspect, kNodata, grids);
  }
  std::vector<double> at(int r, int c) const { return {north(r, c), west(r, c), east(r, c), south(r, c)}; }
};

TEST(SnowShares, PitPassesNothing) {
  const Grid elevation = grid_of(3, 3, {5, 5, 5, 5, 1, 5, 5, 5, 5});
  const Shares shares(elevation, constant(3, 3, 135));
  EXPECT_EQ(shares.at(2, 2), (std::vector<double>{0, 0, 0, 0}));
}

TEST(SnowShares, AspectSplitsBetweenLowerNeighbours) {
  // Aspect 45: north and east are lower; west and south would be negative shares.
  const Grid elevation = grid_of(3, 3, {9, 1, 9,  //
                                        9, 5, 1,  //
                                        9, 9, 9});
  const Shares shares(elevation, constant(3, 3, 45));
  EXPECT_NEAR(shares.north(2, 2), 0.5, 1e-9);  // the degree factor has 11 decimals
  EXPECT_NEAR(shares.east(2, 2), 0.5, 1e-9);
  EXPECT_EQ(shares.west(2, 2), 0);
  EXPECT_EQ(shares.south(2, 2), 0);
}

TEST(SnowShares, RasterEdgeAndNodataNeighboursDoNotBlock) {
  Grid elevation = constant(3, 3, 4);
  const Shares flat(elevation, constant(3, 3, 0));
  // Horizontal: only row 1 passes its snow north, out of the raster.
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(flat.at(1, c), (std::vector<double>{1, 0, 0, 0}));
  EXPECT_EQ(flat.at(2, 2), (std::vector<double>{0, 0, 0, 0}));

  elevation(2, 1) = kNodata;
  const Shares holed(elevation, constant(3, 3, 270));
  EXPECT_NEAR(holed.west(2, 2), 1, 1e-12);  // the nodata neighbour counts as lower
  EXPECT_EQ(holed.north(2, 1), kNodata);
  EXPECT_EQ(holed.south(2, 1), kNodata);
}

TEST(SnowShares, CellWithoutAspectPassesNothing) {
  // The gap fill leaves nodata aspect on a valid cell without valid neighbours; such a
  // cell must not turn -9999 degrees into arbitrary shares.
  const Grid elevation = grid_of(3, 1, {kNodata, 3, kNodata});
  const Shares shares(elevation, constant(3, 1, kNodata));
  EXPECT_EQ(shares.at(1, 2), (std::vector<double>{0, 0, 0, 0}));
}

TEST(ElevationOrder, StableSortKeepsRowMajorOrderAmongEqualElevations) {
  const Grid elevation = grid_of(3, 2, {7, 2, kNodata,  //
                                        2, 9, 2});
  const std::vector<CellElevation> sorted = sort_cells_by_elevation(elevation, kNodata);
  ASSERT_EQ(sorted.size(), 5u);
  const std::vector<std::pair<int, int>> expected = {{1, 2}, {2, 1}, {2, 3}, {1, 1}, {2, 2}};
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    EXPECT_EQ(sorted[k].row, expected[k].first) << k;
    EXPECT_EQ(sorted[k].column, expected[k].second) << k;
  }

  Grid order_column = Grid::allocate(3, 2), order_row = Grid::allocate(3, 2);
  write_elevation_order(elevation, kNodata, sorted, order_column, order_row);
  // The k-th valid cell in row-major order holds the k-th lowest cell.
  EXPECT_EQ(order_row(1, 1), 1);
  EXPECT_EQ(order_column(1, 1), 2);  // the lowest cell stands first
  EXPECT_EQ(order_row(1, 2), 2);
  EXPECT_EQ(order_column(1, 2), 1);
  EXPECT_EQ(order_column(1, 3), kNodata);
  EXPECT_EQ(order_row(1, 3), kNodata);
  EXPECT_EQ(order_row(2, 1), 2);
  EXPECT_EQ(order_column(2, 1), 3);
  EXPECT_EQ(order_row(2, 3), 2);  // the highest cell stands last
  EXPECT_EQ(order_column(2, 3), 2);
}

TEST(ElevationOrder, HorizontalRasterMapsEveryCellToItself) {
  const Grid elevation = constant(4, 3, 1);
  Grid order_column = Grid::allocate(4, 3), order_row = Grid::allocate(4, 3);
  write_elevation_order(elevation, kNodata, sort_cells_by_elevation(elevation, kNodata), order_column, order_row);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 4; ++c) {
      EXPECT_EQ(order_row(r, c), r);
      EXPECT_EQ(order_column(r, c), c);
    }
}

}  // namespace
}  // namespace orograd
