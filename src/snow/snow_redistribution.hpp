#pragma once
// Shares of a cell's snow toward its four direct neighbours, and the order of cells by
// elevation, for a later redistribution of snow.
#include <cstdint>
#include <vector>

#include "grid/grid.hpp"

namespace orograd {

struct SnowShareGrids {
  Grid& north;  // share passed to (i-1, j)
  Grid& west;   // share passed to (i, j-1)
  Grid& east;   // share passed to (i, j+1)
  Grid& south;  // share passed to (i+1, j)
};

// Shares from the aspect, restricted to neighbours lower than the cell and normalised
// to sum 1 (or all 0). Nodata cells get nodata in all four grids.
void compute_snow_shares(const Grid& elevation, const Grid& aspect, double nodata, SnowShareGrids& shares);

// One valid cell of the elevation grid.
struct CellElevation {
  int32_t row;
  int32_t column;
  double elevation;
};

// The valid cells sorted by elevation, ascending; cells of equal elevation keep their
// row-major order.
std::vector<CellElevation> sort_cells_by_elevation(const Grid& elevation, double nodata);

// The k-th valid cell in row-major order receives the column and row of the k-th cell
// of `sorted`; nodata cells get nodata.
void write_elevation_order(const Grid& elevation, double nodata, const std::vector<CellElevation>& sorted,
                           Grid& order_column, Grid& order_row);

}  // namespace orograd
