#pragma once
// The redirection of hillslope cells around a confluence: the cells that lie in the
// ring of eight neighbours between two tributaries drain along the ring into them
// instead of into the confluence cell.
#include <cstdint>

#include "grid/grid.hpp"

namespace orograd {

// Positions of the ring around a cell, as bits: bit k for the neighbour that the code
// kDirections[k].code points to (k = 0 north-east, clockwise to k = 7 north).
using RingPositions = unsigned;

// Redirects the neighbours of the confluence cell (row, col) whose tributaries sit at
// the positions `inflows`. The ring is scanned clockwise from the position after the
// cell's own outflow (after north when its code is not one of the eight). Between two
// tributaries that are not adjacent, the first half of the wedge (rounded down) is
// turned towards the earlier tributary, the rest towards the later one, each cell
// pointing at its ring neighbour on that side. Only neighbours inside the grid whose
// stream order is below 0.5 (not river cells) and whose direction is not nodata are
// rewritten.
void redirect_confluence(Grid& directions, const Grid& orders, int32_t row, int32_t col, RingPositions inflows);

}  // namespace orograd
