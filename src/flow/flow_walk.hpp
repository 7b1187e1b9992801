#pragma once
// The walker every walk over a direction grid uses, and the traversal in flow order
// built on it: accumulation, stream orders, link tracing, travel times and subbasins
// all follow flow paths through these two.
#include <cstdint>
#include <utility>
#include <vector>

#include "base/console.hpp"
#include "flow/directions.hpp"
#include "flow/flow_order.hpp"
#include "flow/flow_paths.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Steps downstream over a direction grid whose paths have been checked: a valid code
// leads to its neighbour, except from a cell at which the check cut a cycle. Steps
// are read from one byte per cell taken when the grid was checked; a change made to
// the grid afterwards is seen only once reload() has taken it.
class FlowWalker {
 public:
  // Checks the paths of `directions` (reporting invalid codes and cycles on the
  // console, see check_flow_paths) and returns a walker that ends walks at the cuts.
  // With `clean`, the check is left out for codes it holds (see CleanPathChecks).
  static FlowWalker checked(const Grid& directions, Console& console, CleanPathChecks* clean = nullptr) {
    return FlowWalker(directions, check_flow_paths(directions, console, clean));
  }
  // The same with the step codes already taken. Pre: `steps` are take_step_codes of
  // `directions`.
  static FlowWalker checked(const Grid& directions, CheckedSteps steps, Console& console,
                            CleanPathChecks* clean = nullptr) {
    complete_path_check(directions, steps, console, clean);
    return FlowWalker(directions, std::move(steps));
  }

  // Checks the paths of `directions` as checked() does, with `traverse` doing the
  // check's traversal: traverse(walker) walks the walker in flow order, which ends on
  // cycles too, over the cells whose direction is not nodata, and returns the number
  // of cells it visited. Exactly when that is all of them no path has a cycle, and the
  // check is complete. Otherwise the paths are followed and cut as by checked(), and
  // `traverse` runs again over the cut walker. So a grid without cycles is traversed
  // once for both. A grid that passes without a report is remembered in `clean`.
  // Pre: `steps` are take_step_codes of `directions`. Post: the last run of `traverse`
  // was over the returned walker.
  template <typename Traverse>
  static FlowWalker checked_through(const Grid& directions, CheckedSteps steps, Console& console,
                                    const Traverse& traverse, CleanPathChecks* clean = nullptr) {
    FlowWalker walker(directions, std::move(steps));
    const bool all_paths_end = traverse(std::as_const(walker)) == walker.steps_.members;
    finish_path_check(directions, walker.steps_, all_paths_end, console);
    if (!all_paths_end) traverse(std::as_const(walker));
    if (clean != nullptr && passed_clean(walker.steps_, all_paths_end)) clean->remember(walker.steps_.codes);
    return walker;
  }

  const Grid& directions() const { return directions_; }
  // Cells with direction 0.
  int64_t zero_cells() const { return steps_.zero_cells; }

  // One step from (row, col): `moved` with the target inside the grid, or why walks
  // end at the cell (`cut` where the check cut a cycle).
  Step step(int32_t row, int32_t col) const { return step_of_code(shape_, code_at(row, col), row, col); }

  // The table entry of the cell's code, or nullptr when walks end at the cell without
  // a step.
  const Direction* direction(int32_t row, int32_t col) const {
    const uint8_t code = code_at(row, col);
    return code < 8 ? &kDirections[code] : nullptr;
  }

  bool has_nodata_direction(int32_t row, int32_t col) const { return code_at(row, col) == kNodataStep; }

  // Calls `inflow(k, r, c)` for every neighbour (r, c) of (row, col) whose step moves
  // onto the cell; k is the neighbour's entry in kDirections as seen from the cell.
  template <typename Inflow>
  void for_each_inflow(int32_t row, int32_t col, const Inflow& inflow) const {
    for (std::size_t k = 0; k < kDirections.size(); ++k) {
      const int32_t r = row + kDirections[k].row_offset, c = col + kDirections[k].col_offset;
      // The neighbour flows back along the opposite entry, four places on in the table.
      if (shape_.contains(r, c) && code_at(r, c) == (k + 4) % 8) inflow(k, r, c);
    }
  }

  // Takes the cell's direction from the grid again after it was changed. A cell at
  // which a cycle was cut stays cut.
  void reload(int32_t row, int32_t col) {
    uint8_t& code = steps_.codes[static_cast<std::size_t>(shape_.index(row, col))];
    if (code != kCutStep) code = step_code(directions_(row, col));
  }

 private:
  FlowWalker(const Grid& directions, CheckedSteps steps)
      : directions_(directions), shape_(directions.shape()), steps_(std::move(steps)) {}

  uint8_t code_at(int32_t row, int32_t col) const {
    return steps_.codes[static_cast<std::size_t>(shape_.index(row, col))];
  }

  const Grid& directions_;
  GridShape shape_;
  CheckedSteps steps_;
};

// Visits every cell for which `member(row, col)` holds exactly once, upstream cells
// first: a cell is visited after every member cell whose step moves onto it.
// `visit(row, col, step)` receives the cell and its step; walks follow steps only onto
// member cells. With FlowOrderThreads::one the walks run on one thread, started in
// row-major order; with FlowOrderThreads::all on every thread, so `visit` may write
// only its own cell (see walk_in_flow_order). Linear in the grid. Returns the number
// of cells visited: members on a cycle, or downstream of one, are not.
template <FlowOrderThreads kThreads = FlowOrderThreads::one, typename Member, typename Visit>
int64_t visit_in_flow_order(const FlowWalker& walker, const Member& member, const Visit& visit) {
  return walk_in_flow_order<kThreads>(
      walker.directions().shape(), member, [&](int32_t row, int32_t col) { return walker.step(row, col); }, visit);
}

// Calls `start(row, col, path)` for every cell, row by row, for walks down from each
// cell that end at cells earlier walks finished. `path` is a list of cells of the
// calling thread's own, to keep a walk's cells in. With `shared`, the rows go to all
// threads in small chunks, as walks differ widely in length: `start` must then be
// safe to call from several threads, finished cells being read and set atomically.
template <typename Start>
void start_walks_from_every_cell(GridShape shape, bool shared, const Start& start) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel if (shared)
#endif
  {
    std::vector<GridCell> path;
#if !OROGRAD_SEQUENTIAL
#pragma omp for schedule(dynamic, 16)
#endif
    for (int32_t row = 1; row <= shape.nrows; ++row)
      for (int32_t col = 1; col <= shape.ncols; ++col) start(row, col, path);
  }
  (void)shared;
}

}  // namespace orograd
