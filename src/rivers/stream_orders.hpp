#pragma once
// Strahler stream orders of a river network.
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Fills `orders` with Strahler orders. On entry `orders` holds 1 on river cells and
// nodata elsewhere (see normalise_river_grids); the flow directions are those of
// `walker`. A river cell flows into the river cell its step moves onto; a source has
// order 1, and a cell into which rivers flow has their highest order, plus one when
// two or more of them have it.
//
// This is the result of raising orders pass by pass (for a = 1, 2, ...: every cell
// of order a into which two cells of order a flow raises itself and the cells
// downstream of it to a + 1), computed in one traversal in flow order instead, so the
// time is linear in the grid whatever the highest order. Walks end where the walker's
// check cut a cycle.
void compute_stream_orders(const FlowWalker& walker, Grid& orders);

}  // namespace orograd
