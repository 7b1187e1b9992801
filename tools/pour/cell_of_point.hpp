#pragma once
// The grid cell a map coordinate falls in.
#include <optional>

#include "grid/grid.hpp"

namespace orograd::pour {

// The cell of the geometry that contains (x, y): cells include their western and
// southern edges, so a point on a shared edge lies in the cell east or north of it,
// and a point on the grid's own eastern or northern border lies outside.
// Pre: geometry.cellsize > 0.
// Post: a cell with 1 <= row <= nrows, 1 <= col <= ncols (row 1 northern); empty for
// a point outside the grid or a coordinate that is not a number.
std::optional<GridCell> cell_of_point(const GridHeader& geometry, double x, double y);

}  // namespace orograd::pour
