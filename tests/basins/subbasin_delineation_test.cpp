// Delineation of subbasins from pour points on small hand-made grids.
#include <gtest/gtest.h>

#include <cmath>

#include "base/console.hpp"
#include "basins/subbasin_delineation.hpp"
#include "flow/flow_test_grids.hpp"
#include "support/test_support.hpp"

namespace orograd {
namespace {

using testing::grid_of;
using testing::N;
using testing::values_of;

struct Delineated {
  std::vector<double> subbasins;
  std::vector<int32_t> codes_by_rank;
  std::string console;
};

Delineated delineate(int ncols, int nrows, const std::vector<double>& directions, const std::vector<double>& pours) {
  const Grid codes = grid_of(ncols, nrows, directions);
  Grid subbasins = grid_of(ncols, nrows, pours);
  Console console = Console::capturing();
  const FlowWalker walker = FlowWalker::checked(codes, console);
  const SubbasinRanks ranks = delineate_subbasins(walker, subbasins, console);
  return {values_of(subbasins), ranks.codes(), console.captured()};
}

// A river along row 2 flowing east off the grid, fed from rows 1 and 3.
const std::vector<double> kRiver{4, 4, 4, 4, 8,  //
                                 2, 2, 2, 2, 2,  //
                                 1, 1, 1, 1, 128};

TEST(DelineateSubbasins, PourPointsCollectTheCellsDrainingThroughThem) {
  struct Case {
    std::vector<double> pours, expected;
    std::vector<int32_t> ranks;
  };
  const Case cases[] = {
      // one pour point: everything upstream of it; cells below it drain off the grid
      {{N, N, N, N, N, N, N, 7, N, N, N, N, N, N, N},
       {7, 7, N, N, N, 7, 7, 7, N, N, 7, 7, N, N, N},
       {7}},
      // a second pour point downstream holds only the area the upper one leaves
      {{N, N, N, N, N, N, N, 7, N, 3, N, N, N, N, N},
       {7, 7, 3, 3, 3, 7, 7, 7, 3, 3, 7, 7, 3, 3, 3},
       {7, 3}},
      // a pour region of two cells acts as one outlet; each keeps the code
      {{N, N, N, N, N, N, 5, 5, N, N, N, N, N, N, N},
       {5, 5, N, N, N, 5, 5, 5, N, N, 5, 5, N, N, N},
       {5}},
  };
  for (const Case& c : cases) {
    const Delineated d = delineate(5, 3, kRiver, c.pours);
    EXPECT_EQ(d.subbasins, c.expected);
    EXPECT_EQ(d.codes_by_rank, c.ranks);
  }
}

// A pour code on a cell without direction counts as no code, whichever of the cells
// draining into it is scanned first; cells without direction are never in a subbasin.
TEST(DelineateSubbasins, NodataDirectionsHoldNoSubbasin) {
  const Delineated d = delineate(3, 1, {2, N, 32}, {N, 4, N});
  EXPECT_EQ(d.subbasins, (std::vector<double>{N, N, N}));
  EXPECT_TRUE(d.codes_by_rank.empty());
}

TEST(DelineateSubbasins, DirectionZeroAndValuesOfMinusTwoOrLess) {
  Delineated d = delineate(3, 1, {2, 2, 0}, {N, N, N});
  EXPECT_EQ(d.subbasins, (std::vector<double>{N, N, N}));
  EXPECT_EQ(d.console, "flowdirection is 0 in cell 1, 3\n");
  // a value of -5 below: the cells above keep their values, the -5 stays
  d = delineate(3, 1, {2, 2, 2}, {N, N, -5});
  EXPECT_EQ(d.subbasins, (std::vector<double>{N, N, -5}));
}

TEST(DelineateSubbasins, CodesOutsideOneTo500000EndTheRun) {
  for (double code : {500001.0, 0.5, std::nan("")}) {
    const FatalError error = testing::expect_fatal([&] { delineate(2, 1, {2, 2}, {N, code}); });
    EXPECT_EQ(error.code(), 19) << code;
    EXPECT_STREQ(error.what(), "subbasin codes (in pourpoint grid) has to be less than or at least equal to 500000\n");
  }
  EXPECT_EQ(delineate(2, 1, {2, 2}, {N, 500000}).subbasins, (std::vector<double>{500000, 500000}));
}

}  // namespace
}  // namespace orograd
