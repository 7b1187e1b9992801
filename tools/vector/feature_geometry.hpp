#pragma once
// Traced basins and rivers in the map coordinates of the grids' geometry, as OGR
// geometries.
#include <memory>

#include <ogr_geometry.h>

#include "grid/grid.hpp"
#include "vector/basin_polygons.hpp"
#include "vector/river_lines.hpp"

namespace orograd::vector {

// The basin's parts as one multipolygon; corners lie on the cell edges of `geometry`.
// Pre: the basin was traced on a grid of the geometry's counts.
std::unique_ptr<OGRMultiPolygon> basin_geometry(const BasinPolygon& basin, const GridHeader& geometry);

// The line through the centres of the path's cells; a path of one cell gives a line of
// that centre twice, as a line needs two points.
// Pre: the line was traced on a grid of the geometry's counts.
std::unique_ptr<OGRLineString> river_geometry(const RiverLine& line, const GridHeader& geometry);

}  // namespace orograd::vector
