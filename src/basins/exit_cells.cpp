#include "basins/exit_cells.hpp"

namespace orograd {

namespace {

// Follows the flow from (row, col), a cell of the subbasin of `rank`, to its exit cell.
void follow_to_exit(const RoutingInputs& in, const SubbasinRanks& ranks, int32_t rank, int32_t row, int32_t col,
                    SubbasinRecord& record) {
  for (;;) {
    record.exit_row = row;
    record.exit_col = col;
    const int32_t cell_rank = ranks.rank_of(in.subbasins(row, col));
    if (cell_rank != rank) {
      record.downstream = cell_rank == 0 ? 0 : ranks.code_of(cell_rank);
      return;
    }
    record.acc_outlet = in.accumulation(row, col);
    const Step step = in.walker.step(row, col);
    if (step.kind != StepKind::moved) return;
    if (in.walker.directions()(step.row, step.col) < 0) return;
    row = step.row;
    col = step.col;
  }
}

}  // namespace

std::vector<SubbasinRecord> find_exit_cells(const RoutingInputs& in, const SubbasinRanks& ranks, Console& console) {
  std::vector<SubbasinRecord> records(static_cast<std::size_t>(ranks.count()));
  for (int32_t rank = 1; rank <= ranks.count(); ++rank) records[rank - 1].code = ranks.code_of(rank);
  for (int32_t row = 1; row <= in.subbasins.nrows(); ++row) {
    if (row % 50 == 0) console.print("Structure -> row %d\n", row);
    for (int32_t col = 1; col <= in.subbasins.ncols(); ++col) {
      const int32_t rank = ranks.rank_of(in.subbasins(row, col));
      if (rank == 0 || records[rank - 1].exit_row != 0) continue;
      follow_to_exit(in, ranks, rank, row, col, records[rank - 1]);
    }
  }
  return records;
}

}  // namespace orograd
