#pragma once
// Filling of single cells from their eight neighbours, in place.
#include <cstdint>

#include "grid/grid.hpp"

namespace orograd {

// Replaces cell (row, col) by the plain mean of its neighbours inside the raster that
// do not hold `nodata`; keeps the cell when there is none.
void fill_from_neighbours(int32_t row, int32_t col, Grid& grid, double nodata);

// The same for a grid of directions in degrees: the circular mean, so that 350 and 10
// give 0 rather than the opposite direction 180. Falls back to the plain mean only
// where the neighbours' unit vectors cancel out.
void fill_direction_from_neighbours(int32_t row, int32_t col, Grid& grid, double nodata);

}  // namespace orograd
