#include "flow/flow_paths.hpp"

#include "flow/directions.hpp"
#include "flow/flow_order.hpp"

namespace orograd {

namespace {

// Visit states of the cells: not yet reached, on the path being followed, followed.
enum : uint8_t { kUnvisited = 0, kOnPath = 1, kFollowed = 2 };

struct PathCheck {
  GridShape shape;
  std::vector<uint8_t>& codes;
  std::vector<uint8_t> states;
  Console& console;

  std::size_t at(GridCell cell) const { return static_cast<std::size_t>(shape.index(cell.row, cell.col)); }

  // Moves `cell` onto the cell its valid step leads to; false when walks end at it.
  bool next(GridCell& cell) const {
    const Step step = step_of_code(shape, codes[at(cell)], cell.row, cell.col);
    if (step.kind != StepKind::moved || codes[at({step.row, step.col})] == kNodataStep) return false;
    cell = {step.row, step.col};
    return true;
  }

  // Follows the path from `start` until it ends or meets a cell already followed.
  // Meeting a cell of the path itself again closes a cycle, which is cut at the cell
  // the closing step starts from.
  void follow(GridCell start) {
    for (GridCell cell = start;;) {
      states[at(cell)] = kOnPath;
      GridCell target = cell;
      if (!next(target)) break;
      const uint8_t state = states[at(target)];
      if (state == kOnPath) {
        console.print("flowdirections form a cycle through cell %d, %d; flow paths end there\n", cell.row, cell.col);
        codes[at(cell)] = kCutStep;
        break;
      }
      if (state == kFollowed) break;
      cell = target;
    }
    for (GridCell cell = start; states[at(cell)] == kOnPath;) {
      states[at(cell)] = kFollowed;
      if (!next(cell)) break;
    }
  }
};

}  // namespace

uint8_t step_code(double direction) {
  if (const Direction* d = direction_for_code(direction)) return static_cast<uint8_t>(d - kDirections.data());
  if (direction == 0.0) return kNoDirectionStep;
  return is_nodata(direction) ? kNodataStep : kInvalidStep;
}

CheckedSteps take_step_codes(const Grid& directions) {
  const GridShape shape = directions.shape();
  CheckedSteps steps;
  steps.codes.resize(static_cast<std::size_t>(shape.index(shape.nrows, shape.ncols) + 1));
  int64_t zero_cells = 0, invalid_cells = 0, members = 0;
  // Rows are independent; the counts are sums of whole numbers, the same in any order.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(+ : zero_cells, invalid_cells, members)
#endif
  for (int32_t row = 1; row <= shape.nrows; ++row) {
    const double* values = directions.row(row);
    uint8_t* codes = steps.codes.data() + shape.index(row, 1);
    for (int32_t col = 0; col < shape.ncols; ++col) {
      codes[col] = step_code(values[col]);
      zero_cells += codes[col] == kNoDirectionStep;
      invalid_cells += codes[col] == kInvalidStep;
      members += codes[col] != kNodataStep;
    }
  }
  steps.zero_cells = zero_cells;
  steps.invalid_cells = invalid_cells;
  steps.members = members;
  return steps;
}

bool paths_end(GridShape shape, const CheckedSteps& steps) {
  const auto code_at = [&](int32_t row, int32_t col) {
    return steps.codes[static_cast<std::size_t>(shape.index(row, col))];
  };
  const auto member = [&](int32_t row, int32_t col) { return code_at(row, col) != kNodataStep; };
  const auto step_of = [&](int32_t row, int32_t col) { return step_of_code(shape, code_at(row, col), row, col); };
  return walk_in_flow_order<FlowOrderThreads::all>(shape, member, step_of, [](int32_t, int32_t, const Step&) {}) ==
         steps.members;
}

void finish_path_check(const Grid& directions, CheckedSteps& steps, bool all_paths_end, Console& console) {
  const GridShape shape = directions.shape();
  const auto report_invalid = [&](int32_t row, int32_t col) {
    console.print("flowdirection %g in cell %d, %d is not a valid code; flow paths end there\n", directions(row, col),
                  row, col);
  };
  // Grids without cycles, every grid the flow-direction section makes among them, need
  // no following; only the rest are followed path by path, in row-major order, so that
  // the cycles are reported and cut at the same cells as ever.
  if (all_paths_end) {
    for (int32_t row = 1; steps.invalid_cells > 0 && row <= shape.nrows; ++row)
      for (int32_t col = 1; col <= shape.ncols; ++col)
        if (steps.codes[static_cast<std::size_t>(shape.index(row, col))] == kInvalidStep) report_invalid(row, col);
    return;
  }
  PathCheck check{shape, steps.codes, std::vector<uint8_t>(steps.codes.size(), kUnvisited), console};
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      const int64_t cell = shape.index(row, col);
      const uint8_t code = steps.codes[static_cast<std::size_t>(cell)];
      if (code == kInvalidStep) report_invalid(row, col);
      if (check.states[static_cast<std::size_t>(cell)] == kUnvisited && code != kNodataStep) check.follow({row, col});
    }
}

bool CleanPathChecks::holds(const std::vector<uint8_t>& codes) const {
  for (const std::vector<uint8_t>& known : codes_)
    if (known == codes) return true;
  return false;
}

void CleanPathChecks::remember(const std::vector<uint8_t>& codes) {
  if (holds(codes)) return;
  if (codes_.size() == kRemembered) codes_.erase(codes_.begin());
  codes_.push_back(codes);
}

void complete_path_check(const Grid& directions, CheckedSteps& steps, Console& console, CleanPathChecks* clean) {
  if (clean != nullptr && clean->holds(steps.codes)) return;
  const bool all_paths_end = paths_end(directions.shape(), steps);
  finish_path_check(directions, steps, all_paths_end, console);
  if (clean != nullptr && passed_clean(steps, all_paths_end)) clean->remember(steps.codes);
}

CheckedSteps check_flow_paths(const Grid& directions, Console& console, CleanPathChecks* clean) {
  CheckedSteps steps = take_step_codes(directions);
  complete_path_check(directions, steps, console, clean);
  return steps;
}

}  // namespace orograd
