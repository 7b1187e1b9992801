#include "rivers/stream_orders.hpp"

namespace orograd {

void compute_stream_orders(const FlowWalker& walker, Grid& orders) {
  const auto is_river = [&](int32_t row, int32_t col) { return orders(row, col) != kNodata; };
  // Every river cell flowing into a cell is final when the cell is visited. Each visit
  // writes its own cell only, and no cell changes from river to no river, so the walks
  // run on every thread.
  visit_in_flow_order<FlowOrderThreads::all>(walker, is_river, [&](int32_t row, int32_t col, const Step&) {
    double highest = 0;
    int with_highest = 0;
    walker.for_each_inflow(row, col, [&](std::size_t, int32_t r, int32_t c) {
      if (!is_river(r, c)) return;
      if (orders(r, c) > highest) {
        highest = orders(r, c);
        with_highest = 1;
      } else if (orders(r, c) == highest) {
        ++with_highest;
      }
    });
    if (with_highest > 0) orders(row, col) = with_highest >= 2 ? highest + 1 : highest;
  });
}

}  // namespace orograd
