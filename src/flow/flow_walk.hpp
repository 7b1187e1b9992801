#pragma once
// The walker every walk over a direction grid uses, and the traversal in flow order
// built on it: accumulation, stream orders, link tracing, travel times and subbasins
// all follow flow paths through these two.
#include <cstdint>
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
  static FlowWalker checked(const Grid& directions, Console& console) {
    return FlowWalker(directions, check_flow_paths(directions, console));
  }

  const Grid& directions() const { return directions_; }
  // Cells with direction 0.
  int64_t zero_cells() const { return zero_cells_; }

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
    uint8_t& code = codes_[static_cast<std::size_t>(shape_.index(row, col))];
    if (code != kCutStep) code = step_code(directions_(row, col));
  }

 private:
  FlowWalker(const Grid& directions, CheckedSteps steps)
      : directions_(directions),
        shape_(directions.shape()),
        codes_(std::move(steps.codes)),
        zero_cells_(steps.zero_cells) {}

  uint8_t code_at(int32_t row, int32_t col) const { return codes_[static_cast<std::size_t>(shape_.index(row, col))]; }

  const Grid& directions_;
  GridShape shape_;
  std::vector<uint8_t> codes_;
  int64_t zero_cells_;
};

// Visits every cell for which `member(row, col)` holds exactly once, upstream cells
// first: a cell is visited after every member cell whose step moves onto it.
// `visit(row, col, step)` receives the cell and its step; walks follow steps only onto
// member cells. With FlowOrderThreads::one the walks run on one thread, started in
// row-major order; with FlowOrderThreads::all on every thread, so `visit` may write
// only its own cell (see walk_in_flow_order). Linear in the grid.
template <FlowOrderThreads kThreads = FlowOrderThreads::one, typename Member, typename Visit>
void visit_in_flow_order(const FlowWalker& walker, const Member& member, const Visit& visit) {
  walk_in_flow_order<kThreads>(
      walker.directions().shape(), member, [&](int32_t row, int32_t col) { return walker.step(row, col); }, visit);
}

}  // namespace orograd
