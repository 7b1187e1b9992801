// Fitting grids to the picture: the scale for a size, and block reduction by mean,
// mode and "any river cell", with partial edge blocks and nodata.
#include <gtest/gtest.h>

#include "picture_support.hpp"
#include "view/reduction.hpp"

namespace orograd::view {
namespace {

using testing::grid_of;
constexpr double N = kNodata;

struct ScaleCase {
  int32_t ncols, nrows, size, reduce, enlarge;
};

TEST(ViewScale, LongerSideFitsTheSize) {
  for (const ScaleCase& c : {ScaleCase{4096, 4096, 1600, 3, 1}, ScaleCase{100, 3200, 1600, 2, 1},
                             ScaleCase{3201, 100, 1600, 3, 1}, ScaleCase{1600, 1600, 1600, 1, 1},
                             ScaleCase{111, 111, 1600, 1, 4}, ScaleCase{111, 50, 200, 1, 1},
                             ScaleCase{10, 3, 1600, 1, 40}}) {
    const Scale scale = choose_scale(c.ncols, c.nrows, c.size);
    EXPECT_EQ(scale.reduce, c.reduce) << c.ncols << "x" << c.nrows << " in " << c.size;
    EXPECT_EQ(scale.enlarge, c.enlarge) << c.ncols << "x" << c.nrows << " in " << c.size;
  }
}

struct ReductionCase {
  const char* name;
  Reduction reduction;
  std::vector<std::vector<double>> rows;  // 5 columns, 3 rows, reduced by 2
  std::vector<double> expected;           // 3 x 2 blocks
};

TEST(ViewReduction, BlocksOfTwoWithEdgesAndNodata) {
  const ReductionCase cases[] = {
      {"mean of the valid cells", Reduction::mean,
       {{1, 2, 3, 4, 5}, {3, 4, N, 8, 7}, {9, N, 2, 2, N}},
       {2.5, 5, 6, 9, 2, N}},
      {"most frequent value, the smallest on a tie", Reduction::mode,
       {{3, 3, 9, 2, 5}, {1, 5, 2, 9, N}, {4, N, N, N, N}},
       {3, 2, 5, 4, N, N}},
      {"any cell above 0", Reduction::any,
       {{0, 0, 1, 0, N}, {0, N, 0, 0, N}, {N, N, 0, 1, N}},
       {0, 1, N, N, 1, N}},
  };
  for (const ReductionCase& c : cases) {
    const Raster raster = reduce(grid_of(c.rows), 25, 2, c.reduction);
    EXPECT_EQ(raster.width, 3) << c.name;
    EXPECT_EQ(raster.height, 2) << c.name;
    EXPECT_EQ(raster.cellsize, 50) << c.name;
    EXPECT_EQ(raster.values, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace orograd::view
