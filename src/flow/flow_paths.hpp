#pragma once
// A check of a direction grid before walks follow it: a grid read from a file may hold
// values that are not direction codes, or directions that lead in a circle.
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "grid/grid.hpp"

namespace orograd {

// One byte per cell for the step walks take from it: the kDirections entry (0 to 7) of
// a valid code, or why walks end at the cell.
enum StepCode : uint8_t {
  kNoDirectionStep = 8,  // direction 0
  kNodataStep = 9,       // direction nodata
  kInvalidStep = 10,     // a value that is not a direction code
  kCutStep = 11,         // the step would close a cycle
};

// The step code of a direction value.
uint8_t step_code(double direction);

struct CheckedSteps {
  std::vector<uint8_t> codes;  // GridShape::index order
  int64_t zero_cells = 0;      // cells with direction 0
};

// Takes the step code of every cell and follows every path once (linear in the
// grid). Reports on the console each cell holding a value other than the eight codes,
// 0 and nodata, and each cycle, naming the cell at which it is cut; that cell's code
// becomes kCutStep. Every grid the flow-direction section makes has no such cell.
CheckedSteps check_flow_paths(const Grid& directions, Console& console);

}  // namespace orograd
