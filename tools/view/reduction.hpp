#pragma once
// Fitting a grid to the picture: large grids are reduced block by block, small ones
// enlarged by whole pixels a cell.
#include <cstdint>

#include "grid/grid.hpp"
#include "view/raster.hpp"

namespace orograd::view {

// Grids whose longer side is shorter than this are enlarged towards it.
inline constexpr int32_t kSmallestSide = 400;

struct Scale {
  int32_t reduce = 1;   // cells a side of one reduced block
  int32_t enlarge = 1;  // pixels a side of one cell in the picture
};

// The scale that brings the longer side to at most `size` pixels: blocks of
// ceil(longer / size) cells when the grid is larger, else the whole factor that makes
// it kSmallestSide pixels or more without passing `size`.
// Pre: ncols, nrows, size > 0. Post: reduce == 1 or enlarge == 1; the picture's longer
// side, ceil(longer / reduce) * enlarge, is at most `size`.
Scale choose_scale(int32_t ncols, int32_t nrows, int32_t size);

// How the cells of one block make the block's value.
enum class Reduction {
  mean,  // the mean of its valid cells
  mode,  // its most frequent valid value, the smallest of equally frequent ones
  any,   // 1 when a cell is greater than 0, else 0
};

// The grid in blocks of factor x factor cells; blocks at the east and south edges
// hold the cells left over. A block of nodata cells only is nodata.
// Pre: the grid is held; factor >= 1. Post: width ceil(ncols / factor), height
// ceil(nrows / factor), cellsize cellsize * factor.
Raster reduce(const Grid& grid, double cellsize, int32_t factor, Reduction reduction);

}  // namespace orograd::view
