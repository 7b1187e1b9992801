#include "snow/snow_redistribution.hpp"

#include <algorithm>
#include <cmath>

#include "base/angles.hpp"

namespace orograd {

namespace {

struct Shares {
  double north, west, east, south;
};

// A neighbour outside the raster is not tested; a nodata neighbour counts as lower.
bool blocks(const Grid& elevation, int32_t row, int32_t col, double z, double nodata) {
  if (!elevation.shape().contains(row, col)) return false;
  const double neighbour = elevation(row, col);
  return neighbour != nodata && neighbour >= z;
}

Shares shares_of_cell(const Grid& elevation, int32_t i, int32_t j, double aspect_degrees, double nodata) {
  const double z = elevation(i, j);
  const double a = aspect_degrees * kRadiansPerDegree;
  Shares s{std::cos(a), -std::sin(a), std::sin(a), -std::cos(a)};
  if (blocks(elevation, i - 1, j, z, nodata)) s.north = 0;
  if (blocks(elevation, i, j - 1, z, nodata)) s.west = 0;
  if (blocks(elevation, i, j + 1, z, nodata)) s.east = 0;
  if (blocks(elevation, i + 1, j, z, nodata)) s.south = 0;
  for (double* share : {&s.north, &s.west, &s.east, &s.south})
    if (*share < 0) *share = 0;
  const double sum = s.north + s.west + s.east + s.south;
  if (sum > 0) return {s.north / sum, s.west / sum, s.east / sum, s.south / sum};
  return {0, 0, 0, 0};
}

}  // namespace

void compute_snow_shares(const Grid& elevation, const Grid& aspect, double nodata, SnowShareGrids& out) {
  for (int32_t i = 1; i <= elevation.nrows(); ++i)
    for (int32_t j = 1; j <= elevation.ncols(); ++j) {
      Shares s{nodata, nodata, nodata, nodata};
      if (elevation(i, j) != nodata) {
        // A valid cell that got no aspect (no valid neighbour in the gap fill) has no
        // downhill direction, so it passes nothing on.
        s = aspect(i, j) == nodata ? Shares{0, 0, 0, 0} : shares_of_cell(elevation, i, j, aspect(i, j), nodata);
      }
      out.north(i, j) = s.north;
      out.west(i, j) = s.west;
      out.east(i, j) = s.east;
      out.south(i, j) = s.south;
    }
}

std::vector<CellElevation> sort_cells_by_elevation(const Grid& elevation, double nodata) {
  std::vector<CellElevation> cells;
  for (int32_t i = 1; i <= elevation.nrows(); ++i)
    for (int32_t j = 1; j <= elevation.ncols(); ++j)
      if (elevation(i, j) != nodata) cells.push_back({i, j, elevation(i, j)});
  std::stable_sort(cells.begin(), cells.end(),
                   [](const CellElevation& a, const CellElevation& b) { return a.elevation < b.elevation; });
  return cells;
}

void write_elevation_order(const Grid& elevation, double nodata, const std::vector<CellElevation>& sorted,
                           Grid& order_column, Grid& order_row) {
  std::size_t k = 0;
  for (int32_t i = 1; i <= elevation.nrows(); ++i)
    for (int32_t j = 1; j <= elevation.ncols(); ++j) {
      if (elevation(i, j) == nodata) {
        order_column(i, j) = order_row(i, j) = nodata;
        continue;
      }
      order_column(i, j) = sorted[k].column;
      order_row(i, j) = sorted[k].row;
      ++k;
    }
}

}  // namespace orograd
