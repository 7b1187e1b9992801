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

}  // namespace
}  // namespace orograd
