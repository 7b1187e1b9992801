#include "flow/flow_paths.hpp"

#include <algorithm>

#include "flow/directions.hpp"

namespace orograd {

namespace {

// Visit states of the cells: not yet reached, on the path being followed, followed.
enum : uint8_t { kUnvisited = 0, kOnPath = 1, kFollowed = 2 };

// Follows the path from (row, col) until it leaves the grid, ends, or meets a cell
// already followed. Meeting a cell of the path itself again closes a cycle, which is
// cut at the cell the closing step starts from.
void follow_path(const Grid& directions, std::vector<uint8_t>& states, int32_t row, int32_t col,
                 std::vector<int64_t>& stops, Console& console) {
  const GridShape shape = directions.shape();
  const int32_t start_row = row, start_col = col;
  for (;;) {
    states[static_cast<std::size_t>(shape.index(row, col))] = kOnPath;
    const Step step = downstream(row, col, directions(row, col), shape.nrows, shape.ncols);
    if (step.kind != StepKind::moved || is_nodata(directions(step.row, step.col))) break;
    const uint8_t state = states[static_cast<std::size_t>(shape.index(step.row, step.col))];
    if (state == kOnPath) {
      console.print("flowdirections form a cycle through cell %d, %d; flow paths end there\n", row, col);
      stops.push_back(shape.index(row, col));
      break;
    }
    if (state == kFollowed) break;
    row = step.row;
    col = step.col;
  }
  // Mark the path followed, from its start along the same steps.
  for (row = start_row, col = start_col; states[static_cast<std::size_t>(shape.index(row, col))] == kOnPath;) {
    states[static_cast<std::size_t>(shape.index(row, col))] = kFollowed;
    const Step step = downstream(row, col, directions(row, col), shape.nrows, shape.ncols);
    if (step.kind != StepKind::moved) break;
    row = step.row;
    col = step.col;
  }
}

void report_invalid_code(double code, int32_t row, int32_t col, Console& console) {
  console.print("flowdirection %g in cell %d, %d is not a valid code; flow paths end there\n", code, row, col);
}

}  // namespace

bool FlowPathStops::ends_at(int32_t row, int32_t col) const {
  if (cells_.empty()) return false;
  return std::binary_search(cells_.begin(), cells_.end(), shape_.index(row, col));
}

FlowPathStops check_flow_paths(const Grid& directions, Console& console) {
  std::vector<int64_t> stops;
  int64_t zero_cells = 0;
  const GridShape shape = directions.shape();
  // One byte per cell: far less memory to touch than a grid of marks.
  std::vector<uint8_t> states(static_cast<std::size_t>(shape.index(shape.nrows, shape.ncols) + 1), kUnvisited);
  for (int32_t row = 1; row <= shape.nrows; ++row) {
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const double code = directions(row, col);
      if (code == 0.0) ++zero_cells;
      if (code != 0.0 && !is_nodata(code) && direction_for_code(code) == nullptr)
        report_invalid_code(code, row, col, console);
      if (states[static_cast<std::size_t>(shape.index(row, col))] != kUnvisited || is_nodata(code)) continue;
      follow_path(directions, states, row, col, stops, console);
    }
  }
  std::sort(stops.begin(), stops.end());
  return FlowPathStops(shape, std::move(stops), zero_cells);
}

}  // namespace orograd
