#pragma once
// Correction of parallel river flow: a river cell whose neighbour across the flow runs
// in the same direction and carries more water (or is of higher order) is turned into
// that neighbour, so that rivers running side by side merge.
#include <cstdint>

#include "grid/grid.hpp"

namespace orograd {

// One correction step for the rivers of stream order `order`.
//
// Pre: `directions`, `stream_orders`, `accumulation` and `scratch` have the same size;
// the contents of `scratch` on entry do not matter.
//
// A cell c in rows 3 to nrows - 2 and columns 3 to ncols - 2 whose stream order,
// truncated to an integer, equals `order` and whose direction d is one of the eight
// codes looks at its two neighbours across the flow (table in flow_correction.cpp).
// A neighbour n qualifies when it flows in direction d too, its truncated order is at
// least `order`, and its accumulation is strictly greater than c's or its truncated
// order strictly greater than `order`. c then takes the code pointing at n; when both
// qualify, the one checked second wins. Cells of nodata (or NaN) stream order are
// never turned, whatever `order` is.
//
// Post: `directions` holds the corrected codes; `scratch` holds a copy of them. Every
// decision reads the grids as they were before the step, so one turn never affects
// another cell's; the two outermost rows and columns on each side are unchanged.
void correct_parallel_flow(int32_t order, Grid& directions, const Grid& stream_orders, const Grid& accumulation,
                           Grid& scratch);

}  // namespace orograd
