#pragma once
// Moving a point onto the cell of highest flow accumulation near it, so that a gauge
// given beside a river lands on the river.
#include <cstdint>
#include <optional>

#include "grid/grid.hpp"

namespace orograd::pour {

struct SnappedCell {
  GridCell cell;
  double distance;      // from the centre of the point's cell to this cell's centre, map units
  double accumulation;  // the accumulation of the cell
};

// The cell of highest accumulation among the candidates around `start`: the cells whose
// centre lies within `distance` (map units) of the centre of `start`, which is always
// one. Ties go to the cell nearest to `start`, then to the first in row-major order.
// Pre: start lies in the grid; cellsize > 0; distance >= 0 (may exceed the grid).
// Post: a cell of the grid whose accumulation is not the nodata value -9999; empty
// when every candidate is nodata. Only the window of the candidates is scanned, so the
// cost is O((distance / cellsize)^2) per point, never more than the grid.
std::optional<SnappedCell> snap_to_river(const Grid& accumulation, double cellsize, GridCell start, double distance);

}  // namespace orograd::pour
