#pragma once
// The cells the renderer draws: a grid after reduction, in picture order (column x
// from the west, row y from the north, both from 0), with the ground size of a cell.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orograd::view {

struct Raster {
  int32_t width = 0;
  int32_t height = 0;
  double cellsize = 0;         // ground size of one cell, in the grid's units
  std::vector<double> values;  // row by row, width * height; -9999 is nodata

  // Pre: 0 <= x < width, 0 <= y < height.
  double at(int32_t x, int32_t y) const { return values[static_cast<std::size_t>(y) * width + x]; }
  double& at(int32_t x, int32_t y) { return values[static_cast<std::size_t>(y) * width + x]; }
};

// The smallest and largest valid value of a raster; `any` is false when every cell is
// nodata (low and high are then 0).
struct ValueRange {
  bool any = false;
  double low = 0;
  double high = 0;
};

// Post: the range of the cells other than -9999.
ValueRange value_range(const Raster& raster);

}  // namespace orograd::view
