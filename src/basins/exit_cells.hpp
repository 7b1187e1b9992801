#pragma once
// Where each subbasin's outflow leaves it: the exit cell and the subbasin below.
#include <vector>

#include "base/console.hpp"
#include "basins/subbasin_record.hpp"

namespace orograd {

// Makes one record per rank (code from `ranks`) and follows the flow from each
// subbasin's first cell in row-major order. While the path stays in the subbasin,
// acc_outlet takes the accumulation of each cell. The exit cell is
//  - the first cell of another subbasin met; downstream is its code;
//  - the first cell of no subbasin (0, nodata, or any other value that is not a
//    listed positive code) whose direction is not negative; downstream 0;
//  - the subbasin's own last cell when the path would leave the grid or run onto a
//    negative (nodata) direction, or when the cell holds no valid code or is where the
//    walker's check cut a cycle; downstream 0.
// A subbasin never met in the grid keeps exit row 0. Prints "Structure -> row %d\n"
// before every row whose number is a multiple of 50. Linear in the grid: each walk
// crosses only its own subbasin's cells and one more.
std::vector<SubbasinRecord> find_exit_cells(const RoutingInputs& in, const SubbasinRanks& ranks, Console& console);

}  // namespace orograd
