#include "basins/subbasin_delineation.hpp"

#include <atomic>

#include "base/fatal.hpp"

namespace orograd {

namespace {

constexpr double kNoSubbasin = -1;  // the result of a path that meets no code

// Whether a value met on a path is a code that delineation would reject.
bool invalid_code(double value) { return !(value <= 0) && !(value >= 1 && value <= kMaxSubbasinCode); }

class Delineation {
 public:
  Delineation(const FlowWalker& walker, Grid& subbasins, Console& console)
      : walker_(walker),
        subbasins_(subbasins),
        console_(console),
        shape_(subbasins.shape()),
        states_(static_cast<std::size_t>(shape_.index(shape_.nrows, shape_.ncols) + 1), kOpen) {}

  // Traces the cells' paths row by row, each trace meeting the labels the traces
  // before it left. Without cells of direction 0, whose messages depend on that order,
  // and without invalid codes, which end the run at the first cell meeting one, every
  // cell's value depends on its path alone; the paths are then traced side by side
  // (see delineate_side_by_side) and the codes ranked in one pass afterwards.
  void run() {
    if (walker_.zero_cells() == 0 && !has_invalid_code()) {
      delineate_side_by_side();
      finish_rows(true, [&](int32_t row, int32_t col) {
        const double value = subbasins_(row, col);
        if (!walker_.has_nodata_direction(row, col) && value > 0) ranks.meet(truncate_to_int(value));
      });
      return;
    }
    for (int32_t row = 1; row <= shape_.nrows; ++row) {
      for (int32_t col = 1; col <= shape_.ncols; ++col) delineate_from(row, col);
      if (row % 50 == 0) console_.print("Subbasins -> row %d\n", row);
    }
    finish_rows(false, [](int32_t, int32_t) {});
  }

  SubbasinRanks ranks;

 private:
  struct Trace {
    bool given_up;
    double result;
  };

  // Sets the cells of no subbasin to -9999 after calling `also(row, col)` on each cell,
  // row by row, with the progress lines if `progress`.
  template <typename Also>
  void finish_rows(bool progress, const Also& also) {
    for (int32_t row = 1; row <= shape_.nrows; ++row) {
      for (int32_t col = 1; col <= shape_.ncols; ++col) {
        also(row, col);
        if (subbasins_(row, col) == kNoSubbasin) subbasins_(row, col) = kNodata;
      }
      if (progress && row % 50 == 0) console_.print("Subbasins -> row %d\n", row);
    }
  }

  bool has_invalid_code() const {
    bool invalid = false;
#if !OROGRAD_SEQUENTIAL
#pragma omp parallel for schedule(static) reduction(|| : invalid)
#endif
    for (int32_t row = 1; row <= shape_.nrows; ++row)
      for (int32_t col = 1; col <= shape_.ncols; ++col)
        invalid = invalid || (!walker_.has_nodata_direction(row, col) && invalid_code(subbasins_(row, col)));
    return invalid;
  }

  // The paths of the rows' cells, traced on all threads. A path ends at the first cell
  // with a value or a finished trace; the cells on the way take its value, or are
  // marked given up. Two threads may trace one path at once: both find the same
  // value, whichever finished value or code they meet first.
  void delineate_side_by_side() {
    start_walks_from_every_cell(shape_, true, [&](int32_t row, int32_t col, std::vector<GridCell>& path) {
      if (walker_.has_nodata_direction(row, col))
        store(row, col, kNodata);
      else if (state(row, col) == kOpen)
        trace_and_label(row, col, path);
    });
  }

  void trace_and_label(int32_t row, int32_t col, std::vector<GridCell>& path) {
    path.clear();
    double result = kNoSubbasin;
    for (;;) {
      const char reached = state(row, col);
      const double value = reached == kGivenUp || walker_.has_nodata_direction(row, col) ? kNodata : load(row, col);
      if (reached == kGivenUp || (value != kNodata && value <= -2)) {
        for (const GridCell& cell : path) set_state(cell.row, cell.col, kGivenUp);
        return;
      }
      if (value != kNodata) {
        result = value;
        break;
      }
      path.push_back({row, col});
      const Step step = walker_.step(row, col);
      if (step.kind != StepKind::moved) break;
      row = step.row;
      col = step.col;
    }
    for (const GridCell& cell : path) {
      store(cell.row, cell.col, result);
      set_state(cell.row, cell.col, kLabelled);
    }
  }

  static constexpr char kOpen = 0, kLabelled = 1, kGivenUp = 2;
  char state(int32_t row, int32_t col) {
    return std::atomic_ref<char>(states_[static_cast<std::size_t>(shape_.index(row, col))])
        .load(std::memory_order_acquire);
  }
  void set_state(int32_t row, int32_t col, char state) {
    std::atomic_ref<char>(states_[static_cast<std::size_t>(shape_.index(row, col))])
        .store(state, std::memory_order_release);
  }
  double load(int32_t row, int32_t col) {
    return std::atomic_ref<double>(subbasins_(row, col)).load(std::memory_order_relaxed);
  }
  void store(int32_t row, int32_t col, double value) {
    std::atomic_ref<double>(subbasins_(row, col)).store(value, std::memory_order_relaxed);
  }

  // A pour code on a cell without direction counts as no code, so that the result
  // does not depend on whether a path reaches the cell before its own turn.
  double value_at(int32_t row, int32_t col) const {
    return walker_.has_nodata_direction(row, col) ? kNodata : subbasins_(row, col);
  }

  void delineate_from(int32_t row, int32_t col) {
    if (walker_.has_nodata_direction(row, col)) {
      subbasins_(row, col) = kNodata;
      return;
    }
    const Trace trace = trace_from(row, col);
    if (trace.given_up)
      mark_given_up(row, col);
    else
      label(row, col, trace.result);
  }

  // Follows the path down to the first cell holding a value other than -9999.
  Trace trace_from(int32_t row, int32_t col) {
    for (;;) {
      if (state(row, col) == kGivenUp) return {true, 0};
      const double value = value_at(row, col);
      if (value != kNodata) {
        if (value <= -2) return {true, 0};
        if (!(value <= 0)) rank(value, row, col);  // NaN included
        return {false, value};
      }
      const Step step = walker_.step(row, col);
      if (step.kind == StepKind::no_direction) console_.print("flowdirection is 0 in cell %d, %d\n", row, col);
      if (step.kind != StepKind::moved) return {false, kNoSubbasin};
      row = step.row;
      col = step.col;
    }
  }

  void rank(double value, int32_t row, int32_t col) {
    if (invalid_code(value)) {
      console_.warn("pour point code %g in cell %d, %d lies outside the codes 1 to %d", value, row, col,
                    kMaxSubbasinCode);
      fatal(19, format("subbasin codes (in pourpoint grid) has to be less than or at least equal to %d\n",
                       kMaxSubbasinCode));
    }
    ranks.meet(truncate_to_int(value));
  }

  // Sets the path from (row, col) to `result` down to the cell the trace stopped at,
  // which holds the result already or ends the path.
  void label(int32_t row, int32_t col, double result) {
    while (subbasins_(row, col) != result) {
      subbasins_(row, col) = result;
      const Step step = walker_.step(row, col);
      if (step.kind != StepKind::moved) return;
      row = step.row;
      col = step.col;
    }
  }

  // Every cell of a path that met a value of -2 or less gives up the same way later.
  void mark_given_up(int32_t row, int32_t col) {
    while (state(row, col) != kGivenUp && value_at(row, col) == kNodata) {
      set_state(row, col, kGivenUp);
      const Step step = walker_.step(row, col);
      if (step.kind != StepKind::moved) return;
      row = step.row;
      col = step.col;
    }
  }

  const FlowWalker& walker_;
  Grid& subbasins_;
  Console& console_;
  GridShape shape_;
  // Given up, for either way of tracing; labelled, for the side-by-side one, which
  // reads and sets the states atomically.
  std::vector<char> states_;
};

}  // namespace

SubbasinRanks delineate_subbasins(const FlowWalker& walker, Grid& subbasins, Console& console) {
  Delineation delineation(walker, subbasins, console);
  delineation.run();
  return std::move(delineation.ranks);
}

}  // namespace orograd
