#include "flow/flow_direction_pass.hpp"

#include <algorithm>
#include <vector>

namespace orograd {

namespace {

struct CellDirection {
  double code;
  double mark;
};

template <Neighbourhood N>
CellDirection direction_of_cell(const Grid& elevation, int32_t row, int32_t col) {
  const double z = elevation(row, col);
  if (is_nodata(z)) return {kNodata, kNodata};
  const GridShape shape = elevation.shape();
  double steepest = 0.0;
  int steepest_code = 0;
  bool level_neighbour = false;
  int first_outside_code = 0;
  for (const Direction& d : neighbours<N>()) {
    const int32_t r = row + d.row_offset;
    const int32_t c = col + d.col_offset;
    if (!shape.contains(r, c) || is_nodata(elevation(r, c))) {
      if (first_outside_code == 0) first_outside_code = d.code;
      continue;
    }
    const double drop = (z - elevation(r, c)) / d.drop_divisor;
    // Strictly steeper only: among equal drops the first in scan order stays.
    if (drop > steepest) {
      steepest = drop;
      steepest_code = d.code;
    } else if (drop >= 0.0) {
      level_neighbour = true;
    }
  }
  if (steepest_code != 0) return {static_cast<double>(steepest_code), kNodata};
  // A flat is handed to sink filling even at the edge of the model, so that the whole
  // flat is drained as one region rather than by whichever cell touches the edge.
  if (level_neighbour) return {0.0, kUnlabelled};
  if (first_outside_code != 0) return {static_cast<double>(first_outside_code), kNodata};
  return {0.0, kUnlabelled};
}

// Each cell reads only elevations and writes only itself, so rows may run in any order.
template <Neighbourhood N>
void compute_all(const Grid& elevation, Grid& directions, Grid& sink_regions) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= elevation.nrows(); ++row) {
    double* direction_row = directions.row(row);
    double* mark_row = sink_regions.row(row);
    for (int32_t col = 1; col <= elevation.ncols(); ++col) {
      const CellDirection result = direction_of_cell<N>(elevation, row, col);
      direction_row[col - 1] = result.code;
      mark_row[col - 1] = result.mark;
    }
  }
}

// A cell's mark follows from its code: -1 for 0, nodata for any other code.
void mark_from_codes(const Grid& directions, Grid& sink_regions) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= directions.nrows(); ++row) {
    const double* codes = directions.row(row);
    double* marks = sink_regions.row(row);
    for (int32_t col = 0; col < directions.ncols(); ++col) marks[col] = codes[col] == 0.0 ? kUnlabelled : kNodata;
  }
}

// A cell is computed anew when it or a cell of the three by three block around it is
// marked changed, a superset of the cells whose neighbours changed in either
// neighbourhood; a cell whose neighbours did not change gets its code again. Each cell
// reads marks and elevations and writes only its own code, so rows may run in any
// order.
template <Neighbourhood N>
void update_around(const Grid& elevation, Grid& directions, const Grid& sink_regions) {
  const int32_t nrows = elevation.nrows(), ncols = elevation.ncols();
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel
#endif
  {
    // changed_column[col]: a changed cell in this column, in this row or next to it.
    std::vector<char> changed_column(static_cast<std::size_t>(ncols) + 2);
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(static)
#endif
    for (int32_t row = 1; row <= nrows; ++row) {
      std::fill(changed_column.begin(), changed_column.end(), 0);
      for (int32_t r = std::max(1, row - 1); r <= std::min(nrows, row + 1); ++r) {
        const double* marks = sink_regions.row(r);
        for (int32_t col = 1; col <= ncols; ++col) changed_column[col] |= marks[col - 1] == kChangedCell ? 1 : 0;
      }
      double* codes = directions.row(row);
      for (int32_t col = 1; col <= ncols; ++col)
        if (changed_column[col - 1] != 0 || changed_column[col] != 0 || changed_column[col + 1] != 0)
          codes[col - 1] = direction_of_cell<N>(elevation, row, col).code;
    }
  }
}

}  // namespace

void compute_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                             Grid& sink_regions) {
  with_neighbourhood(neighbourhood, [&](auto n) { compute_all<n.value>(elevation, directions, sink_regions); });
}

void update_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                            Grid& sink_regions) {
  with_neighbourhood(neighbourhood, [&](auto n) { update_around<n.value>(elevation, directions, sink_regions); });
  mark_from_codes(directions, sink_regions);
}

}  // namespace orograd
