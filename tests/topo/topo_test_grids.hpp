#pragma once
// Small grids for the local-topography tests.
#include <functional>
#include <vector>

#include "grid/grid.hpp"

namespace orograd::testing {

inline Grid grid_of(int ncols, int nrows, const std::vector<double>& values) {
  Grid grid = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) grid(r, c) = values[static_cast<std::size_t>(r - 1) * ncols + c - 1];
  return grid;
}

inline Grid grid_from(int ncols, int nrows, const std::function<double(int row, int col)>& value) {
  Grid grid = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) grid(r, c) = value(r, c);
  return grid;
}

inline GridHeader header_for(const Grid& grid, double cellsize = 1.0) {
  GridHeader header;
  header.ncols = grid.ncols();
  header.nrows = grid.nrows();
  header.cellsize = cellsize;
  header.nodata_value = kNodata;
  return header;
}

}  // namespace orograd::testing
