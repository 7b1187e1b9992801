#include <gtest/gtest.h>

#include <random>

#include "base/console.hpp"
#include "flow/flow_walk.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;

// Random codes (with 0, nodata, invalid values and cycles) and a random member set:
// every member is visited once, after each member whose step moves onto it.
TEST(VisitInFlowOrder, VisitsEveryMemberOnceAfterItsInflows) {
  std::mt19937 random(7);
  const double codes[] = {1, 2, 4, 8, 16, 32, 64, 128, 0, N, 3};
  for (int trial = 0; trial < 50; ++trial) {
    const int ncols = 1 + static_cast<int>(random() % 9), nrows = 1 + static_cast<int>(random() % 9);
    std::vector<double> values(static_cast<std::size_t>(ncols * nrows));
    std::vector<bool> members(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      values[i] = codes[random() % std::size(codes)];
      members[i] = random() % 4 != 0;
    }
    const Grid directions = grid_of(ncols, nrows, values);
    Console console = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(directions, console);
    const auto index = [&](int32_t row, int32_t col) { return static_cast<std::size_t>((row - 1) * ncols + col - 1); };
    const auto member = [&](int32_t row, int32_t col) { return members[index(row, col)]; };

    std::vector<int> visited_at(values.size(), -1);
    int visits = 0;
    visit_in_flow_order(walker, member, [&](int32_t row, int32_t col, const Step& step) {
      EXPECT_EQ(visited_at[index(row, col)], -1) << "visited twice";
      visited_at[index(row, col)] = visits++;
      EXPECT_EQ(step.kind, walker.step(row, col).kind);
    });
    for (int32_t row = 1; row <= nrows; ++row)
      for (int32_t col = 1; col <= ncols; ++col) {
        if (!member(row, col)) continue;
        ASSERT_GE(visited_at[index(row, col)], 0) << "never visited: " << row << ", " << col;
        const Step step = walker.step(row, col);
        if (step.kind == StepKind::moved && member(step.row, step.col)) {
          EXPECT_LT(visited_at[index(row, col)], visited_at[index(step.row, step.col)]);
        }
      }
  }
}

// Tall grids flowing mostly south, with cycles between cells pointing north and
// south, long paths and nodata: the check reports and cuts each cycle once, and then
// every walk ends. The cycles are counted by following each cell's codes alone.
TEST(FlowWalker, ChecksCutEveryCycleOfTallGridsOnce) {
  const double codes[] = {2, 4, 8, 2, 4, 8, 1, 16, 2, 4, 8, 2, 4, 8, 1, 16, 64, N, 2, 4, 8};
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const int ncols = 1 + static_cast<int>(random() % 20), nrows = 70 + static_cast<int>(random() % 130);
    std::vector<double> values(static_cast<std::size_t>(ncols * nrows));
    for (double& value : values) value = codes[random() % std::size(codes)];
    const Grid directions = grid_of(ncols, nrows, values);
    const GridShape shape = directions.shape();
    const auto next = [&](int64_t cell) -> int64_t {
      const Step step = downstream(shape.row_of(cell), shape.col_of(cell), values[static_cast<std::size_t>(cell)],
                                   nrows, ncols);
      if (step.kind != StepKind::moved || values[static_cast<std::size_t>(shape.index(step.row, step.col))] == N)
        return -1;
      return shape.index(step.row, step.col);
    };
    // A cell lies on a cycle when its path comes back to it; each cycle is counted
    // at its lowest cell.
    int cycles = 0;
    const int64_t cells = static_cast<int64_t>(values.size());
    for (int64_t cell = 0; cell < cells; ++cell) {
      if (values[static_cast<std::size_t>(cell)] == N) continue;
      int64_t at = next(cell), lowest = cell;
      for (int64_t steps = 0; at >= 0 && at != cell && steps < cells; ++steps, at = next(at))
        lowest = std::min(lowest, at);
      cycles += at == cell && lowest == cell;
    }
    Console console = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(directions, console);
    int reported = 0;
    for (std::size_t at = 0; (at = console.captured().find("form a cycle", at)) != std::string::npos; ++at) ++reported;
    EXPECT_EQ(reported, cycles) << "seed " << seed;
    for (int64_t cell = 0; cell < cells; ++cell) {
      Step step{StepKind::moved, shape.row_of(cell), shape.col_of(cell)};
      int64_t steps = 0;
      while (step.kind == StepKind::moved && steps++ <= cells) step = walker.step(step.row, step.col);
      ASSERT_LE(steps, cells) << "seed " << seed << ": the walk from cell " << cell << " does not end";
    }
  }
}

// A change to the grid reaches the walker by reload(); a cell where a cycle was cut
// stays cut.
TEST(FlowWalker, ReloadTakesChangedCodesButKeepsCuts) {
  Grid directions = grid_of(3, 1, {2, 32, 0});
  Console console = Console::capturing();
  FlowWalker walker = FlowWalker::checked(directions, console);
  EXPECT_EQ(walker.step(1, 2).kind, StepKind::cut);
  directions(1, 3) = 32;
  EXPECT_EQ(walker.step(1, 3).kind, StepKind::no_direction);
  walker.reload(1, 3);
  EXPECT_EQ(walker.step(1, 3).kind, StepKind::moved);
  directions(1, 2) = 2;
  walker.reload(1, 2);
  EXPECT_EQ(walker.step(1, 2).kind, StepKind::cut);
}

// Checks remembered as clean skip only grids of the same codes: every check of a grid
// with a cycle or an invalid code reports it, whatever was checked before, and every
// walker cuts the cycle. Grids with a report are not remembered, so they never push a
// clean grid out.
TEST(FlowWalker, CleanChecksAreRememberedOnlyForTheirCodes) {
  const Grid clean = grid_of(3, 2, {2, 2, 4, 1, 1, N});
  const Grid cycle = grid_of(3, 2, {2, 32, 4, 1, 1, N});
  const Grid invalid = grid_of(3, 2, {2, 2, 3, 1, 1, N});
  CleanPathChecks remembered;
  for (const Grid* grid : {&clean, &cycle, &cycle, &invalid, &invalid, &clean, &cycle, &invalid}) {
    Console console = Console::capturing(), plain = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(*grid, console, &remembered);
    const FlowWalker reference = FlowWalker::checked(*grid, plain);
    EXPECT_EQ(console.captured(), plain.captured());
    for (int32_t row = 1; row <= 2; ++row)
      for (int32_t col = 1; col <= 3; ++col) EXPECT_EQ(walker.step(row, col).kind, reference.step(row, col).kind);
  }
  Console quiet = Console::capturing();
  EXPECT_TRUE(remembered.holds(check_flow_paths(clean, quiet).codes));
}

}  // namespace
}  // namespace orograd
