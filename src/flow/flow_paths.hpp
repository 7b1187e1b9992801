#pragma once
// A check of a direction grid before walks follow it: a grid read from a file may hold
// values that are not direction codes, or directions that lead in a circle.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/console.hpp"
#include "flow/directions.hpp"
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

// The step from (row, col), a cell of `shape` holding step code `code`: `moved` with
// the target inside the grid, or why walks end at the cell.
inline Step step_of_code(GridShape shape, uint8_t code, int32_t row, int32_t col) {
  if (code < 8) {
    const Direction& d = kDirections[code];
    const int32_t r = row + d.row_offset, c = col + d.col_offset;
    return shape.contains(r, c) ? Step{StepKind::moved, r, c} : Step{StepKind::off_grid, row, col};
  }
  constexpr StepKind kEnds[] = {StepKind::no_direction, StepKind::nodata, StepKind::invalid, StepKind::cut};
  return {kEnds[code - 8], row, col};
}

struct CheckedSteps {
  std::vector<uint8_t> codes;  // GridShape::index order
  int64_t zero_cells = 0;      // cells with direction 0
  int64_t members = 0;         // cells whose direction is not nodata
  int64_t invalid_cells = 0;   // cells holding no direction code
};

// Takes the step code of every cell (linear, on all threads); the paths are not
// checked yet, so only a traversal in flow order, which ends on cycles too, may walk
// them before finish_path_check.
CheckedSteps take_step_codes(const Grid& directions);

// Whether every path of `steps` ends, decided on all threads: exactly then a traversal
// in flow order over the members visits all of them.
bool paths_end(GridShape shape, const CheckedSteps& steps);

// Completes the check of `steps`, taken from `directions`: reports on the console each
// cell holding a value other than the eight codes, 0 and nodata and, unless
// `all_paths_end` (see paths_end), follows every path once (linear in the grid) and
// reports each cycle, naming the cell at which it is cut; that cell's code becomes
// kCutStep. Every grid the flow-direction section makes has no such cell.
void finish_path_check(const Grid& directions, CheckedSteps& steps, bool all_paths_end, Console& console);

// The step codes of the last direction grids whose check had nothing to report. A
// grid with the same codes has the same paths, so its check would report nothing
// either and need not follow them. Held by the run: one byte per cell for each grid
// remembered.
class CleanPathChecks {
 public:
  bool holds(const std::vector<uint8_t>& codes) const;
  void remember(const std::vector<uint8_t>& codes);

 private:
  // Two, so that the corrected directions and the directions they were made from,
  // which later sections use in turn, are both remembered.
  static constexpr std::size_t kRemembered = 2;
  std::vector<std::vector<uint8_t>> codes_;  // the most recent last
};

// Whether `steps` passed the check without a report: no invalid code, no cycle cut.
// Pre: `all_paths_end` is what finish_path_check was given.
inline bool passed_clean(const CheckedSteps& steps, bool all_paths_end) {
  return all_paths_end && steps.invalid_cells == 0;
}

// The rest of the check of `steps`, taken from `directions`: finish_path_check with
// paths_end. With `clean`, a grid whose codes it holds is not followed, and a grid
// that passes without a report is remembered there.
void complete_path_check(const Grid& directions, CheckedSteps& steps, Console& console,
                         CleanPathChecks* clean = nullptr);

// The whole check: take_step_codes, then complete_path_check.
CheckedSteps check_flow_paths(const Grid& directions, Console& console, CleanPathChecks* clean = nullptr);

}  // namespace orograd
