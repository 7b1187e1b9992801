// Snapping onto the highest accumulation: the round window, ties, nodata and the
// grid's edges; and the cell a coordinate falls in.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pour/cell_of_point.hpp"
#include "pour/snap_to_river.hpp"
#include "support/test_support.hpp"

namespace orograd::pour {
namespace {

using testing::grid_of;
constexpr double N = kNodata;

struct SnapCase {
  const char* what;
  std::vector<std::vector<double>> cells;
  GridCell start;
  double distance;  // cell size 10
  std::optional<GridCell> expected;
};

TEST(SnapToRiver, ChoosesTheHighestCandidate) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const SnapCase cases[] = {
      {"corners of the square window lie beyond the radius",
       {{90, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 5, 0, 0}},
       {3, 3}, 20, GridCell{5, 3}},
      {"a radius of 1.5 cells takes diagonals but not two cells straight",
       {{0, 0, 9, 0, 0}, {0, 0, 0, 4, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
       {3, 3}, 15, GridCell{2, 4}},
      {"equal highest cells: the nearer wins though later in row order",
       {{0, 0, 7, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 1, 7, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
       {3, 3}, 20, GridCell{3, 4}},
      {"equal highest cells at equal distance: the first in row order",
       {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 7, 1, 7, 0}, {0, 0, 7, 0, 0}, {0, 0, 0, 0, 0}},
       {3, 3}, 20, GridCell{3, 2}},
      {"nodata and NaN cells are never chosen, even on the start cell",
       {{N, N, N}, {N, N, nan}, {N, N, 0}}, {2, 2}, 20, GridCell{3, 3}},
      {"only nodata within the distance",
       {{N, N, 5}, {N, N, 5}, {N, N, 5}}, {2, 1}, 10, std::nullopt},
      {"at the grid's corner the window is cut, not shifted",
       {{1, 2, 0, 0}, {3, 0, 0, 0}, {4, 0, 0, 9}}, {1, 1}, 20, GridCell{3, 1}},
      {"distance 0 keeps the start cell",
       {{1, 9}, {9, 9}}, {1, 1}, 0, GridCell{1, 1}},
      {"a distance far beyond the grid takes its highest cell",
       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {1, 1}, 1e300, GridCell{3, 3}},
  };
  for (const SnapCase& c : cases) {
    const Grid accumulation = grid_of(c.cells);
    const std::optional<SnappedCell> snapped = snap_to_river(accumulation, 10, c.start, c.distance);
    ASSERT_EQ(snapped.has_value(), c.expected.has_value()) << c.what;
    if (!snapped) continue;
    EXPECT_EQ(snapped->cell.row, c.expected->row) << c.what;
    EXPECT_EQ(snapped->cell.col, c.expected->col) << c.what;
    EXPECT_EQ(snapped->accumulation, accumulation(c.expected->row, c.expected->col)) << c.what;
    const double dr = c.expected->row - c.start.row, dc = c.expected->col - c.start.col;
    EXPECT_DOUBLE_EQ(snapped->distance, 10 * std::sqrt(dr * dr + dc * dc)) << c.what;
  }
}

TEST(CellOfPoint, FindsTheCellAndRefusesOutsidePoints) {
  // 4 columns, 3 rows of 10 from (100, 200): x 100..140, y 200..230.
  const GridHeader geometry{4, 3, 100, 200, 10, kNodata};
  struct Case {
    double x, y;
    std::optional<GridCell> expected;
  };
  const Case cases[] = {
      // Shared edges go to the cell east and north of them.
      {105, 225, GridCell{1, 1}},  {139.9, 200, GridCell{3, 4}}, {110, 210, GridCell{2, 2}},
      {100, 200, GridCell{3, 1}},  {140, 215, std::nullopt},     {120, 230, std::nullopt},
      {99.99, 215, std::nullopt},  {120, 199.99, std::nullopt},   {std::nan(""), 215, std::nullopt},
      {1e300, -1e300, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<GridCell> cell = cell_of_point(geometry, c.x, c.y);
    ASSERT_EQ(cell.has_value(), c.expected.has_value()) << c.x << ", " << c.y;
    if (cell) {
      EXPECT_TRUE(cell->row == c.expected->row && cell->col == c.expected->col) << c.x << ", " << c.y;
    }
  }
}

}  // namespace
}  // namespace orograd::pour
