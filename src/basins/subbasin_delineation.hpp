#pragma once
// Delineation of subbasins from pour points: every cell takes the code of the first
// coded cell met when following the flow downstream from it.
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "basins/subbasin_record.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The largest subbasin code a pour point grid may hold.
inline constexpr int32_t kMaxSubbasinCode = 500000;

// Fills `subbasins`, which holds a pour point grid on entry (codes on pour points and
// pour regions, -9999 elsewhere), with the subbasin code of every cell: the first
// value other than -9999 met downstream of it, taken as the cells of its path are
// labelled. A path that ends at direction 0 (reported as "flowdirection is 0 in cell
// %d, %d"), leaves the grid, or ends at an invalid code or a cut cycle gives no
// subbasin (-9999), and so does a nodata direction, also on a pour point. A value of
// -2 or less met on a path leaves the start cell as it is. Prints "Subbasins -> row
// %d" after every 50th row. Linear in the grid: give-ups are remembered. Returns the
// codes met, ranked in the order the traces first met them.
//
// Fatal 19 for a code above 500000, between 0 and 1 (which would truncate to the code
// 0) or not a number; standard error names the cell.
SubbasinRanks delineate_subbasins(const FlowWalker& walker, Grid& subbasins, Console& console);

}  // namespace orograd
