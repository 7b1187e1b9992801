#pragma once
// Small grids written out row by row, for the flow tests.
#include <vector>

#include "grid/grid.hpp"

namespace orograd::testing {

constexpr double N = kNodata;

inline Grid grid_of(int ncols, int nrows, const std::vector<double>& values) {
  Grid grid = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) grid(r, c) = values.at(static_cast<std::size_t>((r - 1) * ncols + c - 1));
  return grid;
}

inline std::vector<double> values_of(const Grid& grid) {
  std::vector<double> values;
  for (int r = 1; r <= grid.nrows(); ++r)
    for (int c = 1; c <= grid.ncols(); ++c) values.push_back(grid(r, c));
  return values;
}

}  // namespace orograd::testing
