#pragma once
// The traversal in flow order under every walk that needs upstream cells done first.
// Walks start at each member cell into which no member cell flows and go on
// downstream while their step was the last inflow still pending at the next cell, so
// a cell is reached after every cell flowing into it. Cells on a cycle, and cells
// downstream of one, always keep an inflow pending and are never reached.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "flow/directions.hpp"
#include "grid/grid_shape.hpp"

namespace orograd {

// Whether the walks of the traversal run on one thread, in row-major order of their
// starts, or on every thread of the OpenMP build.
enum class FlowOrderThreads { one, all };

namespace detail {

// Pending inflows of a cell: counted, then taken one by one by the arriving walks;
// the walk that takes the last one sets -1 and goes on. The value never passes
// through 0, which marks the starts. With `kShared` the walks of several threads may
// arrive at once: a cell with one inflow left has only that walk still to come, which
// takes it alone; at a confluence the count is taken atomically. Either way the last
// walk sees everything the earlier ones wrote before arriving.
template <bool kShared>
struct PendingInflow {
  static bool none(int8_t& pending) {
    if constexpr (kShared) return std::atomic_ref<int8_t>(pending).load(std::memory_order_relaxed) == 0;
    else return pending == 0;
  }

  // Whether the arriving walk took the last pending inflow.
  static bool arrive(int8_t& pending) {
    if constexpr (kShared) {
      std::atomic_ref<int8_t> count(pending);
      int8_t old = count.load(std::memory_order_acquire);
      if (old == 1) {
        count.store(-1, std::memory_order_relaxed);
        return true;
      }
      while (!count.compare_exchange_weak(old, old == 1 ? int8_t{-1} : static_cast<int8_t>(old - 1),
                                          std::memory_order_acq_rel, std::memory_order_acquire)) {
      }
      return old == 1;
    } else {
      if (--pending > 0) return false;
      pending = -1;
      return true;
    }
  }
};

}  // namespace detail

// Calls `visit(row, col, step)` once for every reachable member cell (see above), in
// flow order. `member(row, col)` says whether a cell takes part; `step_of(row, col)`
// gives a member cell's step, and walks follow the steps that move onto member cells.
// Returns the number of cells visited: every member cell exactly when no path of
// member cells closes a cycle.
//
// With FlowOrderThreads::all, visits of different cells run at once and in no fixed
// order: `visit` may write only data of its own cell, and may read the data the
// visits of the cells flowing into it wrote, which are complete. `member` and
// `step_of` must be safe to call from several threads.
//
// Linear in the grid.
template <FlowOrderThreads kThreads, typename Member, typename StepOf, typename Visit>
int64_t walk_in_flow_order(GridShape shape, const Member& member, const StepOf& step_of, const Visit& visit) {
  constexpr bool kShared = kThreads == FlowOrderThreads::all && !OROGRAD_SEQUENTIAL;
  using Pending = detail::PendingInflow<kShared>;
  std::vector<int8_t> inflows(static_cast<std::size_t>(shape.nrows) * static_cast<std::size_t>(shape.ncols), 0);
  const auto pending = [&](int32_t row, int32_t col) -> int8_t& {
    return inflows[static_cast<std::size_t>(shape.index(row, col))];
  };
  // Steps reach one row up or down at most, so bands of rows two bands apart never
  // count into the same cell: the even bands are counted at once, then the odd ones.
  constexpr int32_t kBand = 64;
  const int32_t bands = (shape.nrows + kBand - 1) / kBand;
  for (int32_t parity = 0; parity < 2; ++parity) {
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) if (kShared)
#endif
    for (int32_t band = parity; band < bands; band += 2)
      for (int32_t row = band * kBand + 1; row <= std::min(shape.nrows, (band + 1) * kBand); ++row)
        for (int32_t col = 1; col <= shape.ncols; ++col) {
          if (!member(row, col)) continue;
          const Step step = step_of(row, col);
          if (step.kind == StepKind::moved && member(step.row, step.col)) ++pending(step.row, step.col);
        }
  }
  int64_t visited = 0;
  // Rows in small dynamic chunks: walks differ widely in length.
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(dynamic, 16) reduction(+ : visited) if (kShared)
#endif
  for (int32_t row = 1; row <= shape.nrows; ++row)
    for (int32_t col = 1; col <= shape.ncols; ++col) {
      if (!Pending::none(pending(row, col)) || !member(row, col)) continue;
      for (int32_t r = row, c = col;;) {
        const Step step = step_of(r, c);
        visit(r, c, step);
        ++visited;
        if (step.kind != StepKind::moved || !member(step.row, step.col)) break;
        if (!Pending::arrive(pending(step.row, step.col))) break;
        r = step.row;
        c = step.col;
      }
    }
  return visited;
}

}  // namespace orograd
