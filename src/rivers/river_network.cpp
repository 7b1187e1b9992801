#include "rivers/river_network.hpp"

namespace orograd {

void mark_river_cells(const Grid& accumulation, int32_t threshold, Grid& network) {
  // Each cell depends on its own count alone, so rows go to the threads.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= accumulation.nrows(); ++row) {
    const double* counts = accumulation.row(row);
    double* cells = network.row(row);
    for (int32_t col = 0; col < accumulation.ncols(); ++col)
      cells[col] = truncate_to_int(counts[col]) > threshold ? 1.0 : kNodata;
  }
}

}  // namespace orograd
