#include "rivers/stream_orders.hpp"

#include "flow/directions.hpp"

namespace orograd {

void compute_stream_orders(const FlowWalker& walker, Grid& orders, Grid& work) {
  const Grid& directions = walker.directions();
  const auto is_river = [&](int32_t row, int32_t col) { return orders(row, col) != kNodata; };
  // Every river cell flowing into a cell is final when the cell is visited.
  visit_in_flow_order(walker, work, is_river, [&](int32_t row, int32_t col, const Step&) {
    double highest = 0;
    int with_highest = 0;
    for (const Direction& d : kDirections) {
      const int32_t r = row + d.row_offset, c = col + d.col_offset;
      if (r < 1 || r > orders.nrows() || c < 1 || c > orders.ncols()) continue;
      if (directions(r, c) != d.opposite || !is_river(r, c) || walker.step(r, c).kind != StepKind::moved) continue;
      if (orders(r, c) > highest) {
        highest = orders(r, c);
        with_highest = 1;
      } else if (orders(r, c) == highest) {
        ++with_highest;
      }
    }
    if (with_highest > 0) orders(row, col) = with_highest >= 2 ? highest + 1 : highest;
  });
}

}  // namespace orograd
