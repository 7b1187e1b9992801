#pragma once
// The routing records of one set of subbasins: exit cells, reaches, the console table
// and the channel of every reach.
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "basins/subbasin_record.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Builds the records of the subbasins listed in `ranks` (the order in which
// delineation first met them) and returns them in rank order: exit cells and downstream subbasins (find_exit_cells, with its
// "Structure -> row %d\n" lines), reaches and `routing_reaches` (trace_routing_reaches;
// pre: `routing_reaches` is filled with nodata), then the table
//   "TG   UL   FZTSUM  FZT_in_h Laenge  hmin    hmax    accmin  accmax  Anzahl\n"
// with one line per record, right after which the channel of its reach is computed
// (compute_reach_hydraulics) when it has a downstream subbasin. Outlets print zeros
// but for TG and accmin.
//
// Pre: every positive code in `in.subbasins` is listed (codes not listed count as no
// subbasin); the grids share one shape.
std::vector<SubbasinRecord> build_routing_records(const RoutingInputs& in, const SubbasinRanks& ranks,
                                                  Grid& routing_reaches, Console& console);

}  // namespace orograd
