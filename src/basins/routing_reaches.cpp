#include "basins/routing_reaches.hpp"

#include "flow/directions.hpp"

namespace orograd {

namespace {

// Lowers `low` or raises `high` to take in `value`.
void widen(double& low, double& high, double value) {
  if (value < low)
    low = value;
  else if (value > high)
    high = value;
}

struct ReachTracer {
  const RoutingInputs& in;
  const SubbasinRanks& ranks;
  std::vector<SubbasinRecord>& records;
  Grid& reaches;

  double exit_accumulation(const SubbasinRecord& record) const {
    return in.accumulation(record.exit_row, record.exit_col);
  }

  // One step by the cell's code. Routing reaches have always measured diagonals with
  // 1.4142; a cell without a valid code counts a straight step.
  double step_across(int32_t row, int32_t col) const {
    return step_length(in.walker.directions()(row, col), in.cellsize, 1.4142);
  }

  // A cell shared by reaches goes to the one whose exit cell drains more; on a tie the
  // later record takes it.
  void claim(int32_t row, int32_t col, const SubbasinRecord& record) {
    double& cell = reaches(row, col);
    const int32_t owner = ranks.rank_of(cell);
    if (owner != 0 && exit_accumulation(records[owner - 1]) > exit_accumulation(record)) return;
    cell = record.code;
  }

  void add_cell(SubbasinRecord& record, int32_t row, int32_t col) const {
    record.travel_time_sum += in.travel_times(row, col);
    widen(record.h_min, record.h_max, in.elevation(row, col));
    if (in.accumulation(row, col) > record.acc_max) record.acc_max = in.accumulation(row, col);
    record.cell_count += 1;
  }

  // The exit cell of an outlet ends the reach of its tributary. `counted` tells that it
  // is the entry cell, already counted when the reach started.
  void add_final_cell(SubbasinRecord& record, int32_t row, int32_t col, bool counted) const {
    if (!counted) {
      record.travel_time_sum += in.travel_times(row, col);
      record.cell_count += 1;
    }
    widen(record.h_min, record.h_max, in.elevation(row, col));
    widen(record.acc_outlet, record.acc_max, in.accumulation(row, col));
    record.length += step_across(row, col);
  }

  // Walks the reach of `record` inside `below`, from its entry cell on.
  void trace(SubbasinRecord& record, const SubbasinRecord& below) {
    int32_t row = record.exit_row, col = record.exit_col;
    const bool entry_counted = in.travel_times(row, col) > 0;
    if (entry_counted) {
      record.travel_time_sum = in.travel_times(row, col);
      record.h_min = record.h_max = in.elevation(row, col);
      record.acc_max = in.accumulation(row, col);
      record.cell_count = 1;
    }
    for (bool entry = true;; entry = false) {
      if (row == below.exit_row && col == below.exit_col) {
        if (below.downstream == 0) add_final_cell(record, row, col, entry && entry_counted);
        return;
      }
      if (in.travel_times(row, col) > 0) {
        if (!entry) add_cell(record, row, col);
        claim(row, col, record);
      }
      const Step step = in.walker.step(row, col);
      if (step.kind != StepKind::moved && step.kind != StepKind::off_grid) return;
      record.length += step_across(row, col);
      if (step.kind == StepKind::off_grid) return;
      row = step.row;
      col = step.col;
    }
  }
};

}  // namespace

void trace_routing_reaches(const RoutingInputs& in, const SubbasinRanks& ranks, std::vector<SubbasinRecord>& records,
                           Grid& routing_reaches) {
  ReachTracer tracer{in, ranks, records, routing_reaches};
  for (SubbasinRecord& record : records)
    if (record.downstream > 0)
      tracer.trace(record, records[ranks.rank_of(record.downstream) - 1]);
}

}  // namespace orograd
