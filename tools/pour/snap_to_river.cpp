#include "pour/snap_to_river.hpp"

#include <algorithm>
#include <cmath>

namespace orograd::pour {

std::optional<SnappedCell> snap_to_river(const Grid& accumulation, double cellsize, GridCell start, double distance) {
  // The radius in cells, compared with whole squared cell offsets: the default of two
  // cell sizes is exactly 2, so its rim cells count without rounding doubt.
  const double radius = distance / cellsize;
  const double radius2 = radius * radius;
  // Beyond the larger side of the grid every cell is a candidate; the bound also keeps
  // the window's integers far from overflow.
  const double widest = std::max(accumulation.nrows(), accumulation.ncols());
  const int32_t reach = static_cast<int32_t>(std::min(std::floor(radius), widest));
  const int32_t first_row = std::max(1, start.row - reach),
                last_row = std::min(accumulation.nrows(), start.row + reach);
  const int32_t first_col = std::max(1, start.col - reach),
                last_col = std::min(accumulation.ncols(), start.col + reach);
  std::optional<SnappedCell> best;
  int64_t best_offset2 = 0;
  for (int32_t row = first_row; row <= last_row; ++row) {
    const int64_t dr = row - start.row;
    const double* cells = accumulation.row(row);
    for (int32_t col = first_col; col <= last_col; ++col) {
      const int64_t dc = col - start.col;
      const int64_t offset2 = dr * dr + dc * dc;
      const double value = cells[col - 1];
      if (static_cast<double>(offset2) > radius2 || value == kNodata || std::isnan(value)) continue;
      // Scanning in row-major order, an equal cell replaces the best only when nearer.
      if (best && (value < best->accumulation || (value == best->accumulation && offset2 >= best_offset2))) continue;
      best = SnappedCell{{row, col}, std::sqrt(static_cast<double>(offset2)) * cellsize, value};
      best_offset2 = offset2;
    }
  }
  return best;
}

}  // namespace orograd::pour
