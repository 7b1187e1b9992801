#include <gtest/gtest.h>

#include <random>

#include "flow/flow_direction_pass.hpp"
#include "flow/sink_region_labels.hpp"
#include "flow_test_grids.hpp"

namespace orograd {
namespace {

using testing::values_of;

// Random marks: -1 with the given share, nodata elsewhere.
Grid random_marks(int ncols, int nrows, double share, unsigned seed) {
  std::mt19937 random(seed);
  std::bernoulli_distribution unlabelled(share);
  Grid marks = Grid::allocate(ncols, nrows);
  for (int r = 1; r <= nrows; ++r)
    for (int c = 1; c <= ncols; ++c) marks(r, c) = unlabelled(random) ? kUnlabelled : kNodata;
  return marks;
}

// The bands of rows are joined into the labels the plain row-major flood fill gives:
// regions cut by one or several band boundaries, meandering ones whose first cell lies
// in a later band than some of their pieces, grids of less than one band and of band
// multiples plus one row.
TEST(LabelSinkRegions, GivesTheLabelsOfTheRowMajorFloodFill) {
  struct Case {
    int ncols, nrows;
    double share;
  };
  const Case cases[] = {{37, 150, 0.45}, {37, 150, 0.6}, {5, 300, 0.7}, {80, 63, 0.55}, {61, 129, 0.5}, {1, 200, 0.8}};
  for (const Case& c : cases)
    for (const Neighbourhood n : {Neighbourhood::eight, Neighbourhood::four})
      for (unsigned seed = 1; seed <= 3; ++seed) {
        Grid fast = random_marks(c.ncols, c.nrows, c.share, seed);
        Grid plain = random_marks(c.ncols, c.nrows, c.share, seed);
        std::vector<GridCell> stack;
        int64_t label = 1;
        for (int r = 1; r <= c.nrows; ++r)
          for (int col = 1; col <= c.ncols; ++col) label = label_region(n, plain, r, col, label, stack);
        SCOPED_TRACE(::testing::Message() << c.ncols << "x" << c.nrows << " share " << c.share << " seed " << seed
                                        << (n == Neighbourhood::eight ? " eight" : " four"));
        EXPECT_EQ(label_sink_regions(n, fast), label - 1);
        EXPECT_EQ(values_of(fast), values_of(plain));
      }
}

}  // namespace
}  // namespace orograd
