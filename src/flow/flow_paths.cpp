#include "flow/flow_paths.hpp"

#include <algorithm>

#include "flow/directions.hpp"

namespace orograd {

namespace {

constexpr double kFinished = -1.0;  // visit mark of a cell whose path has been followed

// Follows the path from (row, col) until it leaves the grid, ends, or meets a cell
// already followed. Cells on the way carry `walk_mark`; meeting one again closes a
// cycle, which is cut at the cell the closing step starts from.
void follow_path(const Grid& directions, Grid& work, int32_t row, int32_t col, double walk_mark,
                 std::vector<int64_t>& stops, Console& console) {
  const int32_t nrows = directions.nrows();
  const int32_t ncols = directions.ncols();
  int32_t start_row = row, start_col = col;
  for (;;) {
    work(row, col) = walk_mark;
    const Step step = downstream(row, col, directions(row, col), nrows, ncols);
    if (step.kind != StepKind::moved || is_nodata(directions(step.row, step.col))) break;
    const double mark = work(step.row, step.col);
    if (mark == walk_mark) {
      console.print("flowdirections form a cycle through cell %d, %d; flow paths end there\n", row, col);
      stops.push_back(directions.shape().index(row, col));
      break;
    }
    if (mark != 0.0) break;
    row = step.row;
    col = step.col;
  }
  // Mark the path finished, from its start along the same steps.
  for (row = start_row, col = start_col; work(row, col) == walk_mark;) {
    work(row, col) = kFinished;
    const Step step = downstream(row, col, directions(row, col), nrows, ncols);
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

FlowPathStops check_flow_paths(const Grid& directions, Grid& work, Console& console) {
  std::vector<int64_t> stops;
  int64_t zero_cells = 0;
  const GridShape shape = directions.shape();
  for (int32_t row = 1; row <= shape.nrows; ++row) {
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const double code = directions(row, col);
      if (code == 0.0) ++zero_cells;
      if (code != 0.0 && !is_nodata(code) && direction_for_code(code) == nullptr)
        report_invalid_code(code, row, col, console);
      if (work(row, col) != 0.0 || is_nodata(code)) continue;
      // Each walk gets its own mark, the start cell's index + 1 (exact in a double).
      const double walk_mark = static_cast<double>(shape.index(row, col) + 1);
      follow_path(directions, work, row, col, walk_mark, stops, console);
    }
  }
  work.fill(0);
  std::sort(stops.begin(), stops.end());
  return FlowPathStops(shape, std::move(stops), zero_cells);
}

}  // namespace orograd
