#pragma once
// Flow accumulation: for every cell the number of cells whose flow passes through it,
// the cell itself included.
#include "base/console.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Writes the upstream cell counts into `accumulation`, whose contents on entry do not
// matter; cells with nodata direction get nodata. Walks go downstream from every cell; a walk
// that pushes a cell above `river_threshold` stops there and leaves its amount pending,
// and a second sweep carries the pending amounts on along the network. The threshold
// changes only the amount of walking, never the result.
//
// A walk ends where its next cell is off the grid or has nodata direction, at a cell
// with direction 0 (reported on the console each time a walk reaches it), and, for
// direction grids read from files, at a cell holding no valid code or closing a
// cycle (both reported once, before counting).
//
// Only the direction-0 messages depend on how the walks run. Without direction-0
// cells the counts are made in one pass in flow order instead (same result, same
// console lines), unless `walks_always` asks for the walks.
//
// Returns the walker the counts followed, whose check later walks over the same,
// unchanged directions can reuse. `clean` as for FlowWalker::checked.
FlowWalker accumulate_flow(const Grid& directions, double river_threshold, Grid& accumulation, Console& console,
                           CleanPathChecks* clean = nullptr, bool walks_always = false);

}  // namespace orograd
