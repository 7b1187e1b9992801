#pragma once
// The steepest-descent pass: every cell gets the code of its steepest lower neighbour.
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

}  // namespace orograd
