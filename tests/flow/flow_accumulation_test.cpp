#include <gtest/gtest.h>

#include <random>

#include "base/console.hpp"
#include "flow/flow_accumulation.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

struct Accumulated {
  std::vector<double> counts;
  std::string console;
};

Accumulated accumulate_by(bool walks_always, const Grid& directions, double threshold) {
  Grid accumulation = Grid::allocate(directions.ncols(), directions.nrows());
  accumulation.fill(7);  // what a reused grid may hold: the counts must not depend on it
  Console console = Console::capturing();
  accumulate_flow(directions, threshold, accumulation, console, nullptr, walks_always);
  return {values_of(accumulation), console.captured()};
}

// Counts by the walks and, where the grid allows it, in flow order; both must agree.
Accumulated count_upstream(int ncols, int nrows, const std::vector<double>& dirs, double threshold) {
  const Grid directions = grid_of(ncols, nrows, dirs);
  const Accumulated walks = accumulate_by(true, directions, threshold);
  const Accumulated chosen = accumulate_by(false, directions, threshold);
  EXPECT_EQ(chosen.counts, walks.counts);
  EXPECT_EQ(chosen.console, walks.console);
  return walks;
}

TEST(AccumulateFlow, AChainCountsItsCellsWhateverTheThreshold) {
  for (double threshold : {-5.0, 0.0, 2.0, 1000.0}) {
    const Accumulated a = count_upstream(5, 1, {2, 2, 2, 2, 2}, threshold);
    EXPECT_EQ(a.counts, (std::vector<double>{1, 2, 3, 4, 5})) << threshold;
    EXPECT_EQ(a.console, "Flowaccumulation\n\n");
  }
}

TEST(AccumulateFlow, JoiningChainsAddUp) {
  // A chain of three from the north and one of three from the west join in the
  // south-east corner, which flows off the grid.
  std::vector<double> dirs{N, N, N, 8,  //
                           N, N, N, 8,  //
                           N, N, N, 8,  //
                           2, 2, 2, 8};
  for (double threshold : {0.0, 3.0, 100.0}) EXPECT_EQ(count_upstream(4, 4, dirs, threshold).counts[15], 7) << threshold;
  dirs[10] = 4;  // one more cell flowing in diagonally
  const Accumulated a = count_upstream(4, 4, dirs, 2);
  EXPECT_EQ(a.counts[15], 8);
  EXPECT_EQ(a.counts[0], N);
}

TEST(AccumulateFlow, PathsEndOffTheGridAndAtNodataDirections) {
  const Accumulated a = count_upstream(4, 1, {2, 2, N, 32}, 0);
  EXPECT_EQ(a.counts, (std::vector<double>{1, 2, N, 1}));
}

TEST(AccumulateFlow, DirectionZeroEndsEveryWalkThatReachesIt) {
  // Both neighbours flow into the middle cell, which has no direction.
  const Accumulated a = count_upstream(3, 1, {2, 0, 32}, 100);
  EXPECT_EQ(a.counts, (std::vector<double>{1, 3, 1}));
  EXPECT_EQ(a.console,
            "Flowaccumulation\nflowdirection is 0 in cell 1, 2\nflowdirection is 0 in cell 1, 2\n\n");
}

TEST(AccumulateFlow, PrintsProgressEveryTenRows) {
  const Accumulated a = count_upstream(1, 21, std::vector<double>(21, 8), 5);
  EXPECT_EQ(a.console,
            "Flowaccumulation\nFLACC -> row 10\nFLACC -> row 20\nresume -> row 10\nresume -> row 20\n\n");
  EXPECT_EQ(a.counts.back(), 21);
}

TEST(AccumulateFlow, ACycleIsCutAndReportedOnce) {
  // (1,1) east into (1,2), which flows back west; (1,3) flows into the cycle.
  for (double threshold : {0.0, 100.0}) {
    const Accumulated a = count_upstream(3, 1, {2, 32, 32}, threshold);
    EXPECT_EQ(a.console, "Flowaccumulation\nflowdirections form a cycle through cell 1, 2; flow paths end there\n\n");
    EXPECT_EQ(a.counts, (std::vector<double>{1, 3, 1})) << threshold;
  }
}

TEST(AccumulateFlow, ALongCycleEndsToo) {
  // Four cells going round a 2x2 block, fed from a cell to the west.
  const Accumulated a = count_upstream(3, 2, {2, 2, 8, N, 128, 32}, 1);
  EXPECT_EQ(a.console, "Flowaccumulation\nflowdirections form a cycle through cell 2, 2; flow paths end there\n\n");
  // As if the path (1,1), (1,2), (1,3), (2,3), (2,2) ended at (2,2).
  EXPECT_EQ(a.counts, (std::vector<double>{1, 2, 3, N, 5, 4}));
}

TEST(AccumulateFlow, InvalidCodesEndWalksAndAreReported) {
  const Accumulated a = count_upstream(4, 1, {2, 3, 2, 2.5}, 0);
  EXPECT_EQ(a.counts, (std::vector<double>{1, 2, 1, 2}));
  EXPECT_EQ(a.console,
            "Flowaccumulation\nflowdirection 3 in cell 1, 2 is not a valid code; flow paths end there\n"
            "flowdirection 2.5 in cell 1, 4 is not a valid code; flow paths end there\n\n");
}

// Random direction grids with nodata, invalid codes and cycles (but no 0): the count in
// flow order must equal the walks' count for every threshold. The tall grids mostly
// flow south, so that long paths with confluences cross many bands of rows and the
// threads share them.
TEST(AccumulateFlow, FlowOrderMatchesTheWalks) {
  const std::vector<double> any = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128, N, 3};
  const std::vector<double> south = {2, 4, 8, 2, 4, 8, 1, 16, 2, 4, 8, 2, 4, 8, 1, 16, 64, N};
  struct Shape {
    int max_cols, min_rows, max_rows;
    const std::vector<double>& codes;
    unsigned seeds;
  };
  for (const Shape& shape : {Shape{20, 1, 20, any, 200}, Shape{30, 100, 400, south, 60}})
    for (unsigned seed = 1; seed <= shape.seeds; ++seed) {
      std::mt19937 random(seed);
      const int ncols = 1 + static_cast<int>(random() % shape.max_cols);
      const int nrows = shape.min_rows + static_cast<int>(random() % (shape.max_rows - shape.min_rows + 1));
      std::vector<double> dirs;
      for (int i = 0; i < ncols * nrows; ++i) dirs.push_back(shape.codes[random() % shape.codes.size()]);
      for (double threshold : {-1.0, 1.0, 4.0, 1e6}) {
        SCOPED_TRACE(seed);
        count_upstream(ncols, nrows, dirs, threshold);
        if (HasFailure()) return;
      }
    }
}

}  // namespace
}  // namespace orograd
