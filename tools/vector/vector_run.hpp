#pragma once
// One run of orograd-vector: read the grids, trace the features, write them.
#include "base/console.hpp"
#include "vector/vector_options.hpp"

namespace orograd::vector {

// basins: one multipolygon feature per code of the subbasin grid, with the fields
// code, cells and area_km2 (cells * cellsize^2 / 10^6).
// rivers: one line feature per link of the link grid, with the fields link, order
// (with --orders), length (map units) and cells; walks report invalid direction codes
// and cycles on the console (see FlowWalker::checked).
// The output carries the first grid's coordinate system where it has one, and the
// run ends with a line naming the output and its feature count.
// Fatal: as read_first_grid and read_grid for the grids (2 unreadable, 1 a later grid
// of another geometry, ...), as read_codes for the codes (1), as trace_river_lines
// (1), as VectorFile for the output (4, 10). Nothing is written on a fatal error.
void run_vector(const VectorOptions& options, Console& console);

}  // namespace orograd::vector
