#include "flow/flow_accumulation.hpp"

#include <cstdint>

#include "flow/directions.hpp"
#include "flow/flow_walk.hpp"
#include "grid/grid.hpp"

namespace orograd {

namespace {

// The walks of the two phases: they end where the next cell has nodata direction, and
// report each cell with direction 0 they reach.
struct Walker {
  const FlowWalker& flow;
  Console& console;

  // The next cell downstream, or false when the walk ends at (row, col).
  bool step(int32_t& row, int32_t& col) const {
    const Step step = flow.step(row, col);
    if (step.kind == StepKind::no_direction) {
      console.print("flowdirection is 0 in cell %d, %d\n", row, col);
      return false;
    }
    if (step.kind != StepKind::moved || flow.has_nodata_direction(step.row, step.col)) return false;
    row = step.row;
    col = step.col;
    return true;
  }
};

void first_walk(const Walker& walker, double river_threshold, Grid& accumulation, Grid& pending, int32_t row,
                int32_t col) {
  double added = 0;  // cells counted for the first time on this walk
  do {
    if (accumulation(row, col) == 0.0) added += 1;
    accumulation(row, col) += added;
    if (accumulation(row, col) > river_threshold) {
      pending(row, col) += added;
      return;
    }
  } while (walker.step(row, col));
}

// Phase 1: every cell not yet reached starts a walk, which stops at the first cell
// above the threshold (a river cell) and leaves its amount pending there.
void count_first_walks(const Walker& walker, double river_threshold, Grid& accumulation, Grid& pending) {
  const Grid& directions = walker.flow.directions();
  for (int32_t row = 1; row <= directions.nrows(); ++row) {
    if (row % 10 == 0) walker.console.print("FLACC -> row %d\n", row);
    for (int32_t col = 1; col <= directions.ncols(); ++col) {
      if (is_nodata(directions(row, col))) {
        accumulation(row, col) = kNodata;
      } else if (accumulation(row, col) == 0.0) {
        first_walk(walker, river_threshold, accumulation, pending, row, col);
      }
    }
  }
}

// Carries one pending amount downstream to the next cell that has an amount pending
// itself; that cell lies later in the sweep and carries the sum on.
void resume_walk(const Walker& walker, Grid& accumulation, Grid& pending, int32_t row, int32_t col) {
  const auto amount = static_cast<int64_t>(pending(row, col));
  pending(row, col) = 0;
  while (walker.step(row, col)) {
    accumulation(row, col) += static_cast<double>(amount);
    if (pending(row, col) > 0.5) {
      pending(row, col) += static_cast<double>(amount);
      return;
    }
  }
}

void resume_pending_walks(const Walker& walker, Grid& accumulation, Grid& pending) {
  for (int32_t row = 1; row <= pending.nrows(); ++row) {
    if (row % 10 == 0) walker.console.print("resume -> row %d\n", row);
    for (int32_t col = 1; col <= pending.ncols(); ++col)
      if (pending(row, col) > 0.5) resume_walk(walker, accumulation, pending, row, col);
  }
}

// The counts in flow order: a cell counts itself and the cells flowing into it, once
// their counts are complete. Linear in the grid, whatever the threshold. Returns the
// number of cells counted, all cells whose direction is not nodata unless a path
// closes a cycle.
int64_t count_in_flow_order(const FlowWalker& walker, Grid& accumulation) {
  const Grid& directions = walker.directions();
  // Cells with nodata direction get nodata; rows are independent.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static)
#endif
  for (int32_t row = 1; row <= directions.nrows(); ++row) {
    const double* codes = directions.row(row);
    double* counts = accumulation.row(row);
    for (int32_t col = 0; col < directions.ncols(); ++col)
      if (is_nodata(codes[col])) counts[col] = kNodata;
  }
  // On all threads, so each cell gathers the counts of the cells flowing into it (all
  // with a direction, all visited before it) instead of passing its own on. The counts
  // are whole numbers, so the sum is the same in any order.
  const auto has_direction = [&](int32_t row, int32_t col) { return !walker.has_nodata_direction(row, col); };
  return visit_in_flow_order<FlowOrderThreads::all>(walker, has_direction, [&](int32_t row, int32_t col, const Step&) {
    double count = 1;
    walker.for_each_inflow(row, col, [&](std::size_t, int32_t r, int32_t c) { count += accumulation(r, c); });
    accumulation(row, col) = count;
  });
}

void print_progress_rows(Console& console, const char* line, int32_t nrows) {
  for (int32_t row = 10; row <= nrows; row += 10) console.print(line, row);
}

}  // namespace

FlowWalker accumulate_flow(const Grid& directions, double river_threshold, Grid& accumulation, Console& console,
                           CleanPathChecks* clean, bool walks_always) {
  console.write("Flowaccumulation\n");
  CheckedSteps steps = take_step_codes(directions);
  if (walks_always || steps.zero_cells > 0) {
    FlowWalker flow = FlowWalker::checked(directions, std::move(steps), console, clean);
    const Walker walker{flow, console};
    accumulation.fill(0);
    Grid pending = Grid::allocate(directions.ncols(), directions.nrows());
    count_first_walks(walker, river_threshold, accumulation, pending);
    resume_pending_walks(walker, accumulation, pending);
    console.write("\n");
    return flow;
  }
  // The counting traversal doubles as the check of the paths.
  FlowWalker flow = FlowWalker::checked_through(
      directions, std::move(steps), console,
      [&](const FlowWalker& walker) { return count_in_flow_order(walker, accumulation); }, clean);
  print_progress_rows(console, "FLACC -> row %d\n", directions.nrows());
  print_progress_rows(console, "resume -> row %d\n", directions.nrows());
  console.write("\n");
  return flow;
}

}  // namespace orograd
