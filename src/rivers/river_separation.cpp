#include "rivers/river_separation.hpp"

#include <algorithm>

namespace orograd {

double highest_stream_order(const Grid& orders) {
  double highest = kNodata;
  for (int32_t row = 1; row <= orders.nrows(); ++row) {
    const double* cells = orders.row(row);
    for (int32_t col = 0; col < orders.ncols(); ++col)
      if (cells[col] != kNodata) highest = std::max(highest, cells[col]);
  }
  return highest;
}

// The whole-grid passes below write only each cell's own values, so rows go to the
// threads; the count is a sum of whole numbers, the same in any order.
int64_t select_rivers_from_order(const Grid& orders, double order, Grid& network, Grid& links) {
  int64_t selected = 0;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(+ : selected)
#endif
  for (int32_t row = 1; row <= orders.nrows(); ++row)
    for (int32_t col = 1; col <= orders.ncols(); ++col) {
      const bool river = orders(row, col) >= order && orders(row, col) != kNodata;
      network(row, col) = river ? 1.0 : kNodata;
      links(row, col) = river ? 0.0 : kNodata;
      selected += river;
    }
  return selected;
}

void mark_link_outlets(const FlowWalker& walker, const Grid& links, Grid& outlets) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= links.nrows(); ++row)
    for (int32_t col = 1; col <= links.ncols(); ++col) {
      const double link = links(row, col);
      if (!(link > 0)) {
        outlets(row, col) = kNodata;
        continue;
      }
      const Step step = walker.step(row, col);
      const bool continues = step.kind == StepKind::moved && links(step.row, step.col) == link;
      outlets(row, col) = continues ? kNodata : link;
    }
}

}  // namespace orograd
