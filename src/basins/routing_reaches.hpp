#pragma once
// The reaches through which subbasins route their outflow inside the subbasin below,
// and the routing reach grid that shows them.
#include <vector>

#include "basins/subbasin_record.hpp"
#include "grid/grid.hpp"

namespace orograd {

// For every record in rank order whose downstream D is a subbasin (downstream > 0),
// walks the reach from the record's exit cell (its entry into D) down to, but not
// including, D's exit cell; when D is an outlet, D's exit cell is the final cell of the
// reach. Along the reach it sums travel times and counts cells with a travel time
// above 0 (the final cell always), spans h_min/h_max over their elevations and raises
// acc_max with their accumulations (the final cell may also lower acc_outlet); length
// adds cellsize * 1.4142 per diagonal step and cellsize per other step, the final
// cell's step by its code included (cellsize when it holds no valid code). When the
// entry's travel time is not above 0, h_min and h_max start at 0.
//
// A walk ends without a step at a cell holding no valid code or where the walker's
// check cut a cycle (its own contributions count), and after the step that would
// leave the grid. A record without downstream subbasin is left as it is.
//
// Each cell with a travel time above 0 except the final one is claimed in
// `routing_reaches` (pre: nodata or codes claimed here): a cell held by another
// subbasin stays with it when the accumulation at that subbasin's exit cell is larger
// than at this record's, otherwise this record's code replaces it. So the larger exit
// accumulation owns shared cells, and on a tie the later rank.
//
// Pre: records come from find_exit_cells with the same `ranks`. Cost: the sum of the
// reach lengths; each reach lies in its downstream subbasin.
void trace_routing_reaches(const RoutingInputs& in, const SubbasinRanks& ranks, std::vector<SubbasinRecord>& records,
                           Grid& routing_reaches);

}  // namespace orograd
