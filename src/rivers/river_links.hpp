#pragma once
// River links: the stretches of river from a source or a confluence down to the next
// confluence or the edge of the grid, numbered and traced.
#include <bit>
#include <cstdint>

#include "base/console.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"
#include "rivers/confluence_redirection.hpp"

namespace orograd {

// The ring positions (see RingPositions) of the river cells flowing into (row, col):
// neighbours inside the grid whose network value is 1 and whose step moves onto the
// cell. Two or more make the cell a confluence.
RingPositions inflowing_river_neighbours(const FlowWalker& walker, const Grid& network, int32_t row, int32_t col);

// Calls `start(row, col, inflows)` for every cell that starts a link, in row-major
// order: a cell whose link value is 0 when the scan reaches it and that has no
// inflowing river neighbour (a source) or two or more (a confluence; `inflows` are
// their positions). A cell with one is labelled by the link flowing into it.
template <typename Start>
void for_each_link_start(const FlowWalker& walker, const Grid& network, const Grid& links, const Start& start) {
  for (int32_t row = 1; row <= links.nrows(); ++row)
    for (int32_t col = 1; col <= links.ncols(); ++col) {
      if (links(row, col) != 0.0) continue;
      const RingPositions inflows = inflowing_river_neighbours(walker, network, row, col);
      if (std::popcount(inflows) != 1) start(row, col, inflows);
    }
}

// What trace_link found: the link's length in map units, and the elevation and
// accumulation of its last cell (0 where those grids are not given).
struct LinkTrace {
  double length = 0;
  double elevation = 0;
  double accumulation = 0;
};

// Labels the link that starts at (row, col) with `link`: from the start cell down,
// every cell whose link value is 0 gets `link`, until the next cell is a confluence,
// lies off the grid or is labelled already. The length adds cellsize * 1.4142135 for
// each diagonal step and cellsize for each other one, including the step into the
// confluence or off the grid; a cell without a valid code, or where the walker's check
// cut a cycle, ends the link without a step. Labels at most every cell once, so it
// ends on any grid.
LinkTrace trace_link(const FlowWalker& walker, const Grid& network, Grid& links, int32_t row, int32_t col,
                     double link, double cellsize, const Grid* elevation = nullptr,
                     const Grid* accumulation = nullptr);

// Numbers the links of the network from 1 in the row-major order of their first
// cells, and returns their number. `links` holds 0 on river cells and nodata
// elsewhere on entry (see normalise_river_grids). A cell of link value 0 with no
// inflowing river neighbour starts a link; one with two or more is a confluence: it
// prints "M", redirects its ring (redirect_confluence, using `orders`) and starts a
// link. `directions` is the grid `walker` walks; only redirections change it, and the
// walker takes them.
int64_t number_river_links(FlowWalker& walker, Grid& directions, const Grid& network, const Grid& orders,
                           Grid& links, double cellsize, Console& console);

}  // namespace orograd
