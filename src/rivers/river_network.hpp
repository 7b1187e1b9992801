#pragma once
// The river network by threshold: a cell is a river cell when more cells drain through
// it than the threshold.
#include <cstdint>

#include "grid/grid.hpp"

namespace orograd {

// Sets `network` to 1 where the accumulation, truncated to a whole number
// (truncate_to_int), is greater than `threshold`, and to nodata elsewhere; a nodata
// accumulation therefore gives nodata for every threshold of -9999 or more.
// `network` has the size of `accumulation`; every cell is written.
void mark_river_cells(const Grid& accumulation, int32_t threshold, Grid& network);

}  // namespace orograd
