#include "pour/cell_of_point.hpp"

#include <cmath>

namespace orograd::pour {

std::optional<GridCell> cell_of_point(const GridHeader& geometry, double x, double y) {
  // Offsets from the south-west corner in cells, judged as doubles before any
  // conversion: coordinates far outside (or NaN) never reach an integer.
  const double east = std::floor((x - geometry.xllcorner) / geometry.cellsize);
  const double north = std::floor((y - geometry.yllcorner) / geometry.cellsize);
  if (!(east >= 0 && east < geometry.ncols && north >= 0 && north < geometry.nrows)) return std::nullopt;
  return GridCell{geometry.nrows - static_cast<int32_t>(north), static_cast<int32_t>(east) + 1};
}

}  // namespace orograd::pour
