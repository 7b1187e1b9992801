#pragma once
// Labels of the regions of cells without direction, numbered in the order a row-major
// sweep meets them.
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Labels the region of unlabelled cells (mark -1) containing (row, col) with `label`
// and returns label + 1; returns `label` when the cell is not unlabelled. Uses an
// explicit stack, so a flat of millions of cells cannot overflow the call stack. The
// plain form of the labelling below, which the tests compare it with.
int64_t label_region(Neighbourhood neighbourhood, Grid& sink_regions, int32_t row, int32_t col,
                     int64_t label, std::vector<GridCell>& stack);

// Labels every region of unlabelled cells, in the order a row-major sweep meets them;
// returns the number of regions L (labels 1 to L). The result is that of label_region
// called on every cell in row-major order, but it is found by sweeping bands of rows on
// all cores and joining the pieces of regions the bands cut.
// Pre: every cell holds -1 or a mark below -1.
int64_t label_sink_regions(Neighbourhood neighbourhood, Grid& sink_regions);

}  // namespace orograd
