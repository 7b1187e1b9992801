#include "flow/flow_direction_pass.hpp"

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

// Marks hold 0, which no mark or label takes, where a code has been computed anew, so
// that a cell next to several changed ones is computed once.
template <Neighbourhood N>
void update_around(const Grid& elevation, Grid& directions, Grid& sink_regions, const std::vector<int64_t>& changed) {
  constexpr double kComputed = 0.0;
  const GridShape shape = elevation.shape();
  const auto compute = [&](int32_t row, int32_t col) {
    if (!shape.contains(row, col) || sink_regions(row, col) == kComputed) return;
    directions(row, col) = direction_of_cell<N>(elevation, row, col).code;
    sink_regions(row, col) = kComputed;
  };
  for (const int64_t cell : changed) {
    const int32_t row = shape.row_of(cell), col = shape.col_of(cell);
    compute(row, col);
    for (const Direction& d : neighbours<N>()) compute(row + d.row_offset, col + d.col_offset);
  }
  mark_from_codes(directions, sink_regions);
}

}  // namespace

void compute_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                             Grid& sink_regions) {
  with_neighbourhood(neighbourhood, [&](auto n) { compute_all<n.value>(elevation, directions, sink_regions); });
}

void update_flow_directions(Neighbourhood neighbourhood, const Grid& elevation, Grid& directions,
                            Grid& sink_regions, const std::vector<int64_t>& changed) {
  with_neighbourhood(neighbourhood,
                     [&](auto n) { update_around<n.value>(elevation, directions, sink_regions, changed); });
}

}  // namespace orograd
