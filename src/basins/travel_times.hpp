#pragma once
// Travel times: how long water needs to cross each cell. River cells flow at the
// velocity of their link's channel (see link_hydraulics.hpp), all other cells at an
// overland velocity from the terrain slope.
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "basins/link_hydraulics.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Turns any link grid into the river mask the links are numbered on: a cell whose
// value is 0 or more is a river cell (link 0, network 1), every other one, NaN
// included, gets nodata in both.
// Pre: `network` has the size of `links`.
// Post: returns the largest value of a river cell, 0 when there is none.
double mask_rivers_from_links(Grid& links, Grid& network);

// The link table for links 1 to K, K the largest link value cut to a whole number,
// with one unused record at index 0; every record 0.
// Fatal: 2 "error allocatin memory for flow time table" when K is not finite, when the
// table's size in bytes would overflow or exceed the machine's memory, or when memory
// runs out; nothing is allocated for a K that does not fit.
std::vector<LinkRecord> make_link_table(double largest_link_value);

// Numbers the links of the river mask in the row-major order of their first cells,
// without redirecting anything: a cell of link value 0 whose number of inflowing river
// neighbours is not 1 (a source or a confluence) starts a link (trace_link). Record n
// gets the elevation and accumulation of the first and last cells of link n and its
// length.
// Pre: `links` and `network` as mask_rivers_from_links leaves them; the walker walks the
// directions; `table` from make_link_table.
// Post: returns the number of links found.
// Fatal: 1 when a link beyond the table's last record is found, before it is labelled.
int64_t trace_river_links(const FlowWalker& walker, const Grid& network, Grid& links, const Grid& elevation,
                          const Grid& accumulation, double cellsize, std::vector<LinkRecord>& table);

// Overland velocity in m/s on a slope in degrees: Manning-Strickler with roughness 5,
// hydraulic radius 0.01 m and gradient tan(slope); 0.01 where the slope is not
// positive (nodata included). Post: at least 0.1; a velocity that is not a number
// (slopes above 90°) counts as below that floor.
double overland_velocity(double slope_degrees);

// The distance water travels across a cell: cellsize * 1.4142136 for a diagonal code,
// cellsize for any other value.
double travel_step_length(double direction_code, double cellsize);

struct TravelTimeInputs {
  const Grid& elevation;
  const Grid& slope;  // degrees
  const Grid& directions;
  const Grid& accumulation;
};

struct TravelTimeOutputs {
  Grid& links;  // in: any link grid (see mask_rivers_from_links); out: this computation's links
  Grid& network;
  Grid& travel_time;    // seconds
  Grid& water_depth;    // metres on river cells
  Grid& channel_width;  // metres on river cells
};

// The cell values from the links' hydraulics. A cell outside the elevation model is
// nodata in all three outputs. A cell of link n > 0 takes step / velocity of record n,
// the channel's depth and its width m * depth; any other cell step / overland velocity
// and nodata depth and width.
// Pre: out.links numbered by trace_river_links with `table`, solved by
// solve_link_hydraulics. Post: every cell of the three outputs is finite.
void assign_travel_times(const TravelTimeInputs& in, const std::vector<LinkRecord>& table, double cellsize,
                         TravelTimeOutputs& out);

// The whole computation: river mask, link table, links, their hydraulics (printed as
// the link table) and the cell values. The direction paths are checked first (see
// FlowWalker::checked, with `clean`), so cycles and invalid codes of a direction file
// end walks. Pre: all grids of one size. Post: as assign_travel_times; `links` holds
// the links. Fatal: as make_link_table and trace_river_links.
void compute_travel_times(const TravelTimeInputs& in, TravelTimeOutputs& out, const ChannelParameters& channel,
                          Console& console, CleanPathChecks* clean = nullptr);

}  // namespace orograd
