#include "rivers/river_links.hpp"

#include <bit>

#include "flow/directions.hpp"

namespace orograd {

RingPositions inflowing_river_neighbours(const FlowWalker& walker, const Grid& network, int32_t row, int32_t col) {
  RingPositions positions = 0;
  walker.for_each_inflow(row, col, [&](std::size_t k, int32_t r, int32_t c) {
    if (network(r, c) == 1.0) positions |= 1U << k;
  });
  return positions;
}

namespace {

// The walker takes the redirected codes of the ring around (row, col).
void reload_ring(FlowWalker& walker, int32_t row, int32_t col) {
  for (const Direction& d : kDirections)
    if (walker.directions().shape().contains(row + d.row_offset, col + d.col_offset))
      walker.reload(row + d.row_offset, col + d.col_offset);
}

}  // namespace

LinkTrace trace_link(const FlowWalker& walker, const Grid& network, Grid& links, int32_t row, int32_t col,
                     double link, double cellsize, const Grid* elevation, const Grid* accumulation) {
  LinkTrace trace;
  while (links(row, col) == 0.0) {
    links(row, col) = link;
    if (elevation != nullptr) trace.elevation = (*elevation)(row, col);
    if (accumulation != nullptr) trace.accumulation = (*accumulation)(row, col);
    const Step step = walker.step(row, col);
    if (step.kind != StepKind::moved && step.kind != StepKind::off_grid) break;
    trace.length += cellsize * walker.direction(row, col)->drop_divisor;
    if (step.kind == StepKind::off_grid) break;
    row = step.row;
    col = step.col;
    if (std::popcount(inflowing_river_neighbours(walker, network, row, col)) >= 2) break;
  }
  return trace;
}

int64_t number_river_links(FlowWalker& walker, Grid& directions, const Grid& network, const Grid& orders,
                           Grid& links, double cellsize, Console& console) {
  int64_t link = 0;
  for_each_link_start(walker, network, links, [&](int32_t row, int32_t col, RingPositions inflows) {
    if (inflows != 0) {  // a confluence
      console.write("M");
      redirect_confluence(directions, orders, row, col, inflows);
      reload_ring(walker, row, col);
    }
    trace_link(walker, network, links, row, col, static_cast<double>(++link), cellsize);
  });
  return link;
}

}  // namespace orograd
