#pragma once
// River separation by stream order: the network reduced to the rivers of one order and
// higher, with each of its links represented by its last cell.
#include <cstdint>

#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// The highest stream order of the grid, or nodata when it holds no river cell.
double highest_stream_order(const Grid& orders);

// Reduces the network to the cells whose order is `order` or more (nodata never
// counts): there `network` is 1 and `links` 0, elsewhere both nodata. Returns the
// number of such cells.
int64_t select_rivers_from_order(const Grid& orders, double order, Grid& network, Grid& links);

// Writes into `outlets` the number of every link at its last cell and nodata
// elsewhere. A link cell whose step moves onto a cell of the same link is not the
// last; a cell whose step leaves the grid, ends at no valid code or at a cut cycle is.
// `outlets` may be the network grid the links were numbered on.
void mark_link_outlets(const FlowWalker& walker, const Grid& links, Grid& outlets);

}  // namespace orograd
