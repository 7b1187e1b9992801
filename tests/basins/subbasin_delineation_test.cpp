// Delineation of subbasins from pour points on small hand-made grids.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

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

// The first value other than -9999 met walking down from each cell in the pour grid
// as given, on random grids flowing mostly east and south with nodata directions,
// cycles, codes, values of 0, -1 and -5, and no direction 0: the same subbasins, ranks
// and progress lines. The grids are large enough for the threads to share their rows.
TEST(DelineateSubbasins, MatchWalksDownFromEveryCell) {
  std::mt19937 random(11);
  const double codes[] = {1, 1, 1, 2, 2, 4, 4, 4, 8, 128, N};
  const double values[] = {3, 17, 9, 0, -1, -5};
  for (int trial = 0; trial < 22; ++trial) {
    const int ncols = trial < 20 ? 1 + static_cast<int>(random() % 90) : 400;
    const int nrows = trial < 20 ? 1 + static_cast<int>(random() % 120) : 300;
    Grid directions = Grid::allocate(ncols, nrows), pours = Grid::allocate(ncols, nrows);
    for (int r = 1; r <= nrows; ++r)
      for (int c = 1; c <= ncols; ++c) {
        directions(r, c) = codes[random() % std::size(codes)];
        pours(r, c) = random() % 40 == 0 ? values[random() % std::size(values)] : N;
      }
    Console console = Console::capturing();
    const FlowWalker walker = FlowWalker::checked(directions, console);
    std::vector<double> walked;
    SubbasinRanks ranks;
    std::string progress;
    for (int r = 1; r <= nrows; ++r) {
      for (int c = 1; c <= ncols; ++c) {
        double met = N;  // no subbasin
        for (int32_t rr = r, cc = c;;) {
          if (!walker.has_nodata_direction(rr, cc) && pours(rr, cc) != N) {
            met = pours(rr, cc);
            break;
          }
          const Step step = walker.step(rr, cc);
          if (step.kind != StepKind::moved) break;
          rr = step.row;
          cc = step.col;
        }
        const double value = walker.has_nodata_direction(r, c) || met == -1 ? N : met <= -2 ? pours(r, c) : met;
        if (value > 0) ranks.meet(static_cast<int32_t>(value));
        walked.push_back(value);
      }
      if (r % 50 == 0) progress += "Subbasins -> row " + std::to_string(r) + "\n";
    }
    const Delineated d = delineate(ncols, nrows, values_of(directions), values_of(pours));
    EXPECT_EQ(d.subbasins, walked) << trial;
    EXPECT_EQ(d.codes_by_rank, ranks.codes()) << trial;
    std::string printed;
    for (std::size_t at = d.console.find("Subbasins"); at != std::string::npos; at = d.console.find("Subbasins", at + 1))
      printed += d.console.substr(at, d.console.find('\n', at) + 1 - at);
    EXPECT_EQ(printed, progress) << trial;
  }
}

}  // namespace
}  // namespace orograd
