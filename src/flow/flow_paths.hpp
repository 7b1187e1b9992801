#pragma once
// A check of a direction grid before walks follow it: a grid read from a file may hold
// values that are not direction codes, or directions that lead in a circle.
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// Cells at which every walk must end because stepping on from them would close a
// cycle. Empty for every grid the flow-direction section makes.
class FlowPathStops {
 public:
  explicit FlowPathStops(GridShape shape = {}, std::vector<int64_t> cells = {}, int64_t zero_cells = 0)
      : shape_(shape), cells_(std::move(cells)), zero_cells_(zero_cells) {}
  bool empty() const { return cells_.empty(); }
  // Cells with direction 0 found by the check.
  int64_t zero_cells() const { return zero_cells_; }
  std::size_t size() const { return cells_.size(); }
  bool ends_at(int32_t row, int32_t col) const;

 private:
  GridShape shape_;
  std::vector<int64_t> cells_;  // GridShape::index of each cell, ascending
  int64_t zero_cells_;
};

// Follows every path once (linear in the grid) and reports on the console each cell
// holding a value other than the eight codes, 0 and nodata (walks end there) and each
// cycle, naming the cell at which it is cut.
FlowPathStops check_flow_paths(const Grid& directions, Console& console);

}  // namespace orograd
