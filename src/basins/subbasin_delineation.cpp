#include "basins/subbasin_delineation.hpp"

#include "base/fatal.hpp"

namespace orograd {

namespace {

constexpr double kNoSubbasin = -1;  // the result of a path that meets no code

class Delineation {
 public:
  Delineation(const FlowWalker& walker, Grid& subbasins, Console& console)
      : walker_(walker),
        subbasins_(subbasins),
        console_(console),
        shape_(subbasins.shape()),
        given_up_(static_cast<std::size_t>(shape_.index(shape_.nrows, shape_.ncols) + 1), false) {}

  void run() {
    for (int32_t row = 1; row <= shape_.nrows; ++row) {
      for (int32_t col = 1; col <= shape_.ncols; ++col) delineate_from(row, col);
      if (row % 50 == 0) console_.print("Subbasins -> row %d\n", row);
    }
    for (int32_t row = 1; row <= shape_.nrows; ++row)
      for (int32_t col = 1; col <= shape_.ncols; ++col)
        if (subbasins_(row, col) == kNoSubbasin) subbasins_(row, col) = kNodata;
  }

  SubbasinRanks ranks;

 private:
  struct Trace {
    bool given_up;
    double result;
  };

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
      if (given_up_[static_cast<std::size_t>(shape_.index(row, col))]) return {true, 0};
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
    if (!(value >= 1 && value <= kMaxSubbasinCode)) {
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
    while (!given_up_[static_cast<std::size_t>(shape_.index(row, col))] && value_at(row, col) == kNodata) {
      given_up_[static_cast<std::size_t>(shape_.index(row, col))] = true;
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
  std::vector<bool> given_up_;
};

}  // namespace

SubbasinRanks delineate_subbasins(const FlowWalker& walker, Grid& subbasins, Console& console) {
  Delineation delineation(walker, subbasins, console);
  delineation.run();
  return std::move(delineation.ranks);
}

}  // namespace orograd
