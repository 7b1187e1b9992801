#pragma once
// River links as lines: each link's cells followed downstream from its first cell,
// measured as orograd measures links when it numbers them.
#include <cstdint>
#include <vector>

#include "flow/flow_walk.hpp"
#include "vector/feature_codes.hpp"

namespace orograd::vector {

struct RiverLine {
  int32_t link;
  int32_t order;  // the order of the link's cells; kNoCode without an order grid
  int64_t cells;  // cells of the link
  double length;  // in map units
  // The link's cells from its first one down, then the cell its last one flows into
  // where that step stays inside the grid (the confluence, normally).
  std::vector<GridCell> path;
};

// The lines of every link of the grid, in increasing order of link.
// Pre: `walker` walks a direction grid of the shape of `links`; `orders`, when given,
// has that shape too.
// Post: a link's first cell is its cell into which no cell of the link flows; the path
// follows the walker's steps while they lead onto cells of the link. The length adds
// cellsize * 1.4142135 per diagonal step and cellsize per other one, the step out of
// the last cell included when it moves, into the grid or off it (as trace_link
// measures); a last cell without a valid code, or at a cut cycle, adds nothing.
// Linear in the grid: one scan counts inflows, one finds the first cells, and each
// cell of a link is walked once.
// Fatal: 1 when a link's cells are not one path from a single first cell (two first
// cells, none because they form a cycle, or cells its path does not reach), or, with
// orders, when a cell of a link has no order or another order than its first cell; the
// message names the link and a cell.
std::vector<RiverLine> trace_river_lines(const FlowWalker& walker, const CodeGrid& links, const CodeGrid* orders,
                                         double cellsize);

}  // namespace orograd::vector
