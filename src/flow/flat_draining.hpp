#pragma once
// Draining of flat areas: a cell without direction is pointed at an equally high
// neighbour that already drains, so flow crosses each flat from its outlet inwards.
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "grid/grid.hpp"

namespace orograd {

// What the flat sweeps carry from one sweep to the next. Only rows 2 to nrows - 1 and
// columns 2 to ncols - 1 are ever examined; cells are given by their GridShape::index.
struct FlatSweepState {
  int64_t undrained = 0;             // examined cells still with direction 0
  std::vector<int64_t> candidates;   // cells that may drain in the next sweep, row by row
};

// The state before the first sweep: every examined cell with direction 0 is a candidate.
FlatSweepState start_flat_sweeps(const Grid& directions);

// One sweep, with the result of visiting every examined cell with direction 0 row by
// row from the north, each row from the west, updating in place: a cell takes the code
// of the first neighbour (north, south, east, west, then north-east, south-east,
// south-west, north-west with eight neighbours) of exactly its elevation that already
// drains, that is whose direction is not 0. A cell that failed can only succeed once a
// neighbour has drained, so a sweep looks only at such cells, in the same order.
// Returns the number of examined cells still with direction 0.
//
// Pre: as the sink runs leave them, two equally high neighbours with direction 0 lie
// in one flat region; so "not 0" is "not of this cell's region or drained", the rule
// of a sweep over region labels, without a copy of the labels.
int64_t drain_flats(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions, FlatSweepState& state);

// The sweeps of drain_flats from start_flat_sweeps on, until one leaves no cell or
// drains none, with the flat regions shared out among the threads: each region goes
// whole to one share, and the shares are swept side by side, each in row-major order.
// A region's sweeps never read a cell of another region that changes, so every cell
// drains as in the sweeps over all cells, and a sweep's counts add up over the shares.
// Returns what drain_flats would return after each sweep, the last being 0 or equal to
// the one before (to the count before the first sweep for the first).
//
// Pre: `labels` holds the region label (above 0) of every cell with direction 0, as
// the sink runs leave it. Where it does not, because two neighbouring examined cells
// with direction 0 have different labels or one has none, all cells form one share.
std::vector<int64_t> drain_flats_in_shares(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                                           const Grid& labels);

}  // namespace orograd
