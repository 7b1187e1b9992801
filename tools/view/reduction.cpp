#include "view/reduction.hpp"

#include <algorithm>
#include <vector>

namespace orograd::view {

namespace {

int32_t ceil_div(int32_t a, int32_t b) { return (a + b - 1) / b; }

// The valid cells of the block whose north-west cell is (row, col), 1-based.
void gather(const Grid& grid, int32_t row, int32_t col, int32_t factor, std::vector<double>& cells) {
  cells.clear();
  const int32_t last_row = std::min(row + factor - 1, grid.nrows());
  const int32_t last_col = std::min(col + factor - 1, grid.ncols());
  for (int32_t r = row; r <= last_row; ++r) {
    const double* values = grid.row(r);
    for (int32_t c = col; c <= last_col; ++c)
      if (values[c - 1] != kNodata) cells.push_back(values[c - 1]);
  }
}

double mean(const std::vector<double>& cells) {
  double sum = 0;
  for (const double value : cells) sum += value;
  return sum / static_cast<double>(cells.size());
}

// Sorts the cells, then takes the longest run; the first of equally long runs wins.
double mode(std::vector<double>& cells) {
  std::sort(cells.begin(), cells.end());
  double best = cells.front();
  std::size_t best_length = 0;
  for (std::size_t start = 0, end; start < cells.size(); start = end) {
    end = start + 1;
    while (end < cells.size() && cells[end] == cells[start]) ++end;
    if (end - start > best_length) best = cells[start], best_length = end - start;
  }
  return best;
}

double any_positive(const std::vector<double>& cells) {
  return std::any_of(cells.begin(), cells.end(), [](double v) { return v > 0; }) ? 1.0 : 0.0;
}

double block_value(std::vector<double>& cells, Reduction reduction) {
  if (cells.empty()) return kNodata;
  switch (reduction) {
    case Reduction::mean: return mean(cells);
    case Reduction::mode: return mode(cells);
    case Reduction::any: break;
  }
  return any_positive(cells);
}

}  // namespace

Scale choose_scale(int32_t ncols, int32_t nrows, int32_t size) {
  const int32_t longer = std::max(ncols, nrows);
  if (longer > size) return {ceil_div(longer, size), 1};
  return {1, std::clamp(ceil_div(kSmallestSide, longer), 1, size / longer)};
}

Raster reduce(const Grid& grid, double cellsize, int32_t factor, Reduction reduction) {
  Raster raster;
  raster.width = ceil_div(grid.ncols(), factor);
  raster.height = ceil_div(grid.nrows(), factor);
  raster.cellsize = cellsize * factor;
  raster.values.resize(static_cast<std::size_t>(raster.width) * raster.height);
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#endif
  {
    std::vector<double> cells;
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(static)
#endif
    for (int32_t y = 0; y < raster.height; ++y)
      for (int32_t x = 0; x < raster.width; ++x) {
        gather(grid, y * factor + 1, x * factor + 1, factor, cells);
        raster.at(x, y) = block_value(cells, reduction);
      }
  }
  return raster;
}

}  // namespace orograd::view
