#pragma once
// Flow times to the outlet of each subbasin.
#include "base/console.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Sets every cell of a subbasin to the sum of the travel times along its flow path
// down to and including the last cell of its subbasin, and every cell without
// subbasin (-9999) to -9999. A path ends where its next step leaves the subbasin or
// the grid, or at a cell with direction 0, an invalid code or a cut cycle.
//
// Each flow time is computed once, as the cell's travel time plus the flow time of
// the cell below it, so the time is linear in the grid; summing the other way round,
// as a walk down from each cell would, can differ in the last bits of a double.
//
// The console shows "Fliessrichtung ist 0 in Zeile %d, %d" for a path ending at
// direction 0 as often as walks down from each cell in row-major order would reach
// that cell: once for every cell whose path below it holds no cell of positive flow
// time scanned before it.
void compute_subbasin_flow_times(const FlowWalker& walker, const Grid& subbasins, const Grid& travel_times,
                                 Grid& flow_times, Console& console);

}  // namespace orograd
