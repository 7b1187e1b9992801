#pragma once
// The steepest-descent pass: every cell gets the code of its steepest lower neighbour.
#include <cstdint>

#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Mark of a cell without direction in the sink-region grid, before it gets a label.
inline constexpr double kUnlabelled = -1.0;

// Rewrites every cell of `directions` and `sink_regions` from `elevation`:
// - nodata elevation: nodata direction and mark;
// - a strictly lower neighbour: the code of the steepest one (first in scan order on
//   ties), mark nodata;
// - an equally high neighbour and no lower one (a flat): 0, mark -1;
// - otherwise, a neighbour off the grid or without data: the code of the first such
//   neighbour, mark nodata (the cell flows off the model);
// - otherwise (a pit): 0, mark -1.
void compute_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                             Grid& sink_regions);

// Mark of a cell whose elevation changed since the last pass; no label or other mark
// is 0.
inline constexpr double kChangedCell = 0.0;

// The pass after the elevations of some cells changed: only those cells and the cells
// around them can get another code, so only they are computed anew.
// Pre: `directions` holds the codes compute_flow_directions gave before the change;
// `sink_regions` holds kChangedCell at every cell whose elevation changed since, and
// no 0 elsewhere; otherwise its contents do not matter.
// Post: `directions` and `sink_regions` hold what compute_flow_directions would write.
void update_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                            Grid& sink_regions);

}  // namespace orograd
