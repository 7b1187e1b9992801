#pragma once
// A check of a direction grid before walks follow it: a grid read from a file may hold
// values that are not direction codes, or directions that lead in a circle.
#include <cstdint>
#include <vector>

#include "driver/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Cells at which every walk must end because stepping on from them would close a
// cycle. Empty for every grid the flow-direction section makes.
class FlowPathStops {
 public:
  explicit FlowPathStops(int32_t ncols = 0, std::vector<int64_t> cells = {})
      : ncols_(ncols), cells_(std::move(cells)) {}
  bool empty() const { return cells_.empty(); }
  std::size_t size() const { return cells_.size(); }
  bool ends_at(int32_t row, int32_t col) const;

 private:
  int32_t ncols_;
  std::vector<int64_t> cells_;  // (row - 1) * ncols + (col - 1), ascending
};

// Follows every path once (linear in the grid) and reports on the console each cell
// holding a value other than the eight codes, 0 and nodata (walks end there) and each
// cycle, naming the cell at which it is cut. `work` is a zero-filled grid of the same
// size, used for visit marks and left zero-filled.
FlowPathStops check_flow_paths(const Grid& directions, Grid& work, Console& console);

}  // namespace orograd
